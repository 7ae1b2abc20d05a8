#include "ppt/PptReader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cstring>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/ByteWords.h"
#include "platform/Utf.h"
#include "ppt/PptBlocks.h"
#include "ppt/PptBudget.h"
#include "ppt/PptDocument.h"
#include "ppt/PptRecords.h"
#include "ppt/PropertySets.h"
#include "ppt/ShapeGroups.h"
#include "ppt/ShapeProperties.h"
#include "ppt/TextStyles.h"
#include "text/Cp1252.h"

namespace dkscr {
namespace {

// Record types read only here.
constexpr uint16_t kSlideAtom = 0x03EF;
constexpr uint16_t kNotesAtom = 0x03F1;
constexpr uint16_t kSlideShowSlideInfoAtom = 0x03F9;
constexpr uint16_t kPlaceholderAtom = 0x0BC3;
constexpr uint16_t kCString = 0x0FBA;
constexpr uint16_t kComment10 = 0x2EE0;
constexpr uint16_t kSlideNumberMetaCharAtom = 0x0FD8;
constexpr uint16_t kStyleTextPropAtom = 0x0FA1;
// A shape's additional text formatting: a binary tag's data holding the style atom.
constexpr uint16_t kBinaryTagData = 0x138B;
constexpr uint16_t kStyleTextProp9Atom = 0x0FAC;
// The document's tag data: the additional formatting of the slide lists' texts, each entry a
// header naming the text (slide id, index among the slide's texts) and its style atom.
constexpr uint16_t kProgTags = 0x1388;
constexpr uint16_t kProgBinaryTag = 0x138A;
constexpr uint16_t kTextMasterStyle9Atom = 0x0FAD;
constexpr uint16_t kOutlineTextProps9 = 0x0FAE;
constexpr uint16_t kOutlineTextPropsHeader9Atom = 0x0FAF;
// Hyperlinks and embedded objects: the document's list of them, and what refers to it.
constexpr uint16_t kExHyperlink = 0x0FD7;
constexpr uint16_t kExHyperlinkAtom = 0x0FD3;
constexpr uint16_t kExOleEmbed = 0x0FCC;
constexpr uint16_t kExOleLink = 0x0FCE;
constexpr uint16_t kExOleObjAtom = 0x0FC3;
constexpr uint16_t kExVideo = 0x1005;
constexpr uint16_t kExMediaAtom = 0x1004;
constexpr uint16_t kExObjRefAtom = 0x0BC1;
constexpr uint16_t kInteractiveInfo = 0x0FF2;
constexpr uint16_t kInteractiveInfoAtom = 0x0FF3;
constexpr uint16_t kTxInteractiveInfoAtom = 0x0FDF;
constexpr uint16_t kClientTextbox = 0xF00D;
// The text styles of the masters and of the document.
constexpr uint16_t kMainMaster = 0x03F8;
constexpr uint16_t kEnvironment = 0x03F2;
constexpr uint16_t kTxMasterStyleAtom = 0x0FA3;
constexpr uint8_t kActionHyperlink = 4;
constexpr uint16_t kCStringTarget = 1;
constexpr uint16_t kCStringLocation = 3;
constexpr uint16_t kCStringProgId = 2;

// TextHeaderAtom text types.
constexpr uint32_t kTextTitle = 0;
constexpr uint32_t kTextOther = 4;
constexpr uint32_t kTextCenterTitle = 6;

// Placeholders of a page that are no content of it: the slide image of a notes page, and the
// date, number, footer and header that the masters place on every page.
constexpr int kPlaceholderMasterNotesSlideImage = 0x05;
constexpr int kPlaceholderMasterDate = 0x07;
constexpr int kPlaceholderMasterSlideNumber = 0x08;
constexpr int kPlaceholderMasterFooter = 0x09;
constexpr int kPlaceholderMasterHeader = 0x0A;
constexpr int kPlaceholderNotesSlideImage = 0x0B;

// The layout kind a slide atom names, in the words of the format's own names for them; none
// for a kind a presentation slide does not have.
std::optional<std::string> LayoutName(uint32_t kind) {
  static constexpr std::pair<uint32_t, std::string_view> kNames[] = {
      {0x00, "Title Slide"},         {0x01, "Title and Body"},      {0x07, "Title Only"},
      {0x08, "Two Columns"},         {0x09, "Two Rows"},            {0x0A, "Column and Two Rows"},
      {0x0B, "Two Rows and Column"}, {0x0D, "Two Columns and Row"}, {0x0E, "Four Objects"},
      {0x0F, "Big Object"},          {0x10, "Blank"},               {0x11, "Vertical Title and Body"},
      {0x12, "Vertical Title and Two Rows"}};
  for (const auto& [value, name] : kNames) {
    if (value == kind) return std::string(name);
  }
  return std::nullopt;
}

bool IsFooterPlaceholder(int placeholder) {
  return placeholder == kPlaceholderMasterDate || placeholder == kPlaceholderMasterFooter ||
         placeholder == kPlaceholderMasterHeader;
}

constexpr char16_t kCr = u'\r';
// Slide list text kept as read; what lies beyond is read again from the stream when shown.
constexpr size_t kListTextKept = 64 * 1024;
// What is read of a text style atom: five levels of every field take a few hundred bytes.
constexpr uint32_t kMasterStyleKept = 4096;

struct PptFormatError {};
struct PptCancelled {};

[[noreturn]] void Fail() { throw PptFormatError(); }

// Where a hyperlink leads: a target as the file writes it, or a slide of this show by its id.
struct LinkTarget {
  std::string target;
  uint32_t slideId = 0;
};
// A range of a text's characters that carries a hyperlink.
struct RunLink {
  uint32_t begin = 0;
  uint32_t end = 0;
  LinkTarget target;
};
// An object of the document's list of embedded and linked objects.
struct ExObject {
  uint32_t id = 0;
  BlockType type = BlockType::kOle;
  std::optional<std::string> mediaType;
  std::optional<std::string> progId;
};

// One text of a shape (or a line of the slide list): its text type and characters.
struct TextPiece {
  uint32_t type = kTextOther;
  std::u16string text;
  std::vector<ParagraphStyle> styles;  // of each paragraph, from its style atom; none without one
  std::vector<RunLink> links;  // of its characters
};

// The shape a page's pieces stand in, held once for all of them: its id, name and, for a
// picture (a piece of no text), its description; its paragraphs' numbering entries; for a
// shape of no text showing an embedded object, the object's id.
struct ShapeOrigin {
  std::optional<uint32_t> shapeId;
  ShapeLabels labels;
  std::vector<AutoNumber> numbers;
  std::optional<uint32_t> object;
};

// A text of a page for the model: the placeholder of its shape (-1: none), its text type and
// its characters as UTF-8, with what TextPiece tells of them (its links by byte offsets).
struct PagePiece {
  int placeholder = -1;
  uint32_t type = kTextOther;
  std::string text;
  std::vector<ParagraphStyle> styles;
  std::vector<RunLink> links;
  std::shared_ptr<const ShapeOrigin> shape;
};

uint64_t OptionalBytes(const std::optional<std::string>& text) { return text ? text->size() : 0; }

// What a piece holds, as taken from the model's budget (its shape's origin apart).
uint64_t PieceBytes(const PagePiece& piece) {
  uint64_t bytes = sizeof(PagePiece) + piece.text.size() + piece.styles.size() * sizeof(ParagraphStyle);
  for (const RunLink& link : piece.links) bytes += sizeof(RunLink) + link.target.target.size();
  return bytes;
}

uint64_t OriginBytes(const ShapeOrigin& origin) {
  return sizeof(ShapeOrigin) + OptionalBytes(origin.labels.name) + OptionalBytes(origin.labels.description) +
         origin.numbers.size() * sizeof(AutoNumber);
}

// What a block holds beyond what the slide holds already.
uint64_t BlockBytes(const SlideBlock& block) {
  uint64_t bytes = ModelBudget::kItemBytes + OptionalBytes(block.name) + OptionalBytes(block.placeholder) +
                   OptionalBytes(block.alt) + OptionalBytes(block.mediaType) + OptionalBytes(block.progId);
  for (const TextParagraph& paragraph : block.paragraphs) bytes += sizeof(TextParagraph) + paragraph.text.size();
  for (const auto& row : block.rows) {
    for (const TableCell& cell : row) bytes += ModelBudget::kItemBytes + cell.text.size();
  }
  for (const DiagramItem& item : block.items) bytes += ModelBudget::kItemBytes + item.text.size();
  return bytes;
}

// A text's link ranges, by UTF-16 units, as byte offsets in its UTF-8 (clamped to it).
std::vector<RunLink> Utf8Links(std::u16string_view text, std::vector<RunLink> links, size_t utf8Size) {
  if (links.empty()) return links;
  // Each boundary once, in order; the text is converted a stretch at a time between them.
  std::vector<uint32_t> bounds;
  for (const RunLink& link : links) {
    bounds.push_back(link.begin);
    bounds.push_back(link.end);
  }
  std::sort(bounds.begin(), bounds.end());
  bounds.erase(std::unique(bounds.begin(), bounds.end()), bounds.end());
  std::vector<uint32_t> offsets(bounds.size());
  size_t unit = 0;
  size_t bytes = 0;
  for (size_t b = 0; b < bounds.size(); ++b) {
    const size_t to = std::min<size_t>(bounds[b], text.size());
    if (to > unit) bytes += WideToUtf8(text.substr(unit, to - unit)).size();
    unit = std::max(unit, to);
    offsets[b] = static_cast<uint32_t>(std::min(bytes, utf8Size));
  }
  auto offsetOf = [&](uint32_t at) {
    return offsets[static_cast<size_t>(std::lower_bound(bounds.begin(), bounds.end(), at) - bounds.begin())];
  };
  for (RunLink& link : links) {
    link.begin = offsetOf(link.begin);
    link.end = offsetOf(link.end);
  }
  return links;
}

// A table among a page's pieces: its cells' pieces are [firstPiece, endPiece), in rows, each
// cell a range of pieces (empty where a merged cell covers the position).
struct PieceTable {
  size_t firstPiece = 0;
  size_t endPiece = 0;
  std::vector<std::vector<std::pair<size_t, size_t>>> rows;
};

// What one slide or notes container holds, for the model.
struct Page {
  bool isNotes = false;
  bool hidden = false;
  uint32_t notesIdRef = 0;  // a slide's notes page, by slide id
  uint32_t masterIdRef = 0;  // a slide's master, by its id in the master list
  std::optional<uint32_t> layout;  // the layout kind its slide atom names
  uint32_t slideIdRef = 0;  // a notes page's slide, by slide id
  uint32_t slideId = 0;     // from the slide list
  std::vector<PagePiece> pieces;
  std::vector<PieceTable> tables;
  std::vector<std::string> diagramPieces;
  std::vector<SlideComment> comments;
  std::vector<LinkTarget> shapeLinks;
};

// A shape of a page's drawing while it is read.
struct Shape {
  int placeholder = -1;
  std::optional<uint32_t> id;
  ShapeLabels labels;
  std::optional<LinkTarget> link;     // of the shape, or of the next range of its text
  std::optional<uint32_t> object;     // the embedded object it shows
  std::vector<AutoNumber> numbers;    // its text's numbering entries
  std::vector<TextPiece> pieces;
  uint16_t type = 0;          // the shape type
  bool placed = false;        // whether `place` was read from an anchor
  ShapePlace place;
  size_t group = SIZE_MAX;    // the group this shape lies directly in
  bool isGroupShape = false;  // the group's own shape, which carries its properties
  bool numberField = false;   // its text holds the page's number, written as "*"
};

// A group of shapes; a table or diagram keeps the text of the shapes within it until it ends.
struct ShapeGroup {
  GroupKind kind = GroupKind::kPlain;
  bool ownShapeSeen = false;
  std::vector<ShapePlace> cellPlaces;  // a table's cells, as met
  std::vector<std::vector<PagePiece>> cells;
  std::vector<PagePiece> loose;  // text of other shapes within the group
};

// A text atom's characters appended to `out`: code page 1252 bytes, or UTF-16LE units (an odd
// last byte left out). The string is sized once and filled in place.
void AppendAtomText(const uint8_t* data, size_t size, bool isBytes, std::u16string& out) {
  const size_t at = out.size();
  if (isBytes) {
    out.resize(at + size);
    char16_t* to = out.data() + at;
    for (size_t i = 0; i < size; ++i) to[i] = data[i];
    // Only 0x80..0x9F differ from Latin-1: words of eight bytes with none of them pass at once
    // (a byte whose top three bits are 100 becomes a zero byte of the word).
    const auto fix = [&](size_t i) {
      if ((data[i] & 0xE0) == 0x80) to[i] = Cp1252ToWide(data[i]);
    };
    size_t i = 0;
    for (; size - i >= sizeof(uint64_t); i += sizeof(uint64_t)) {
      if (HasZeroByte((LoadWord(data + i) & BytesOf(0xE0)) ^ BytesOf(0x80)) == 0) continue;
      for (size_t j = i; j < i + sizeof(uint64_t); ++j) fix(j);
    }
    for (; i < size; ++i) fix(i);
  } else {
    const size_t units = size / 2;
    out.resize(at + units);
    char16_t* to = out.data() + at;
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(to, data, 2 * units);
    } else {
      for (size_t i = 0; i < units; ++i) to[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    }
  }
}

// The paragraph marks of a text, counted no further than `most`: found by memchr, which passes
// many bytes at once, where a count would look at each byte.
size_t CountMarks(std::string_view text, size_t most = SIZE_MAX) {
  size_t marks = 0;
  for (const char* at = text.data(), *const end = at + text.size(); marks < most;) {
    at = static_cast<const char*>(std::memchr(at, '\r', static_cast<size_t>(end - at)));
    if (at == nullptr) break;
    ++marks;
    ++at;
  }
  return marks;
}

// Room for `more` items, growing as push_back would: many small additions stay linear.
template <typename T>
void MakeRoom(std::vector<T>& items, size_t more) {
  if (items.capacity() - items.size() < more) items.reserve(std::max(items.size() + more, 2 * items.capacity()));
}

// A string of the slide before, emptied, or a new one.
std::string TakeSpare(std::vector<std::string>& spare) {
  if (spare.empty()) return {};
  std::string text = std::move(spare.back());
  spare.pop_back();
  text.clear();
  return text;
}

// Paragraphs of a text: split at the paragraph mark (CR), a line break (vertical tab) as "\n",
// empty paragraphs left out, each taken from the budget. With `shapes`, each kept paragraph's
// level, bullet and links go there too; `links` are ranges of `text` by byte offsets.
void AppendParagraphs(std::string_view text, std::vector<std::string>& out, ModelBudget& budget,
                      const std::vector<ParagraphStyle>* styles = nullptr, std::vector<TextParagraph>* shapes = nullptr,
                      const std::vector<std::pair<RunLink, std::string>>* links = nullptr,
                      const std::vector<AutoNumber>* numbers = nullptr, std::vector<std::string>* spare = nullptr) {
  size_t at = 0;
  std::string bullet;
  // The next number of each level, and the scheme it counts in (-1: none).
  std::array<std::pair<int, int>, 9> counters;
  counters.fill({0, -1});
  size_t nextLink = 0;  // the first linked range that may reach this paragraph
  // Room for the paragraphs at once: at most one more than the paragraph marks (empty ones are
  // left out, so a text of marks alone reserves no more than a few).
  const size_t most = 1 + CountMarks(text, 63);
  // Line breaks are rare: a text without any needs no paragraph of it looked through.
  const bool breaks = text.find('\v') != std::string_view::npos;
  MakeRoom(out, most);
  if (shapes != nullptr) MakeRoom(*shapes, most);
  for (size_t index = 0; at <= text.size(); ++index) {
    size_t end = text.find('\r', at);
    if (end == std::string_view::npos) end = text.size();
    if (end > at) {
      budget.TakeItem(end - at);
      // Made where it stays, in the room of a string of the slide before.
      std::string& paragraph = out.emplace_back();
      if (spare != nullptr) paragraph = TakeSpare(*spare);
      paragraph.assign(text.substr(at, end - at));
      if (breaks) std::replace(paragraph.begin(), paragraph.end(), '\v', '\n');
      if (shapes != nullptr) {
        TextParagraph& shaped = shapes->emplace_back();
        if (spare != nullptr) shaped.text = TakeSpare(*spare);  // the room its block's copy takes
        if (styles != nullptr && index < styles->size()) {
          shaped.level = (*styles)[index].level;
          if (const std::string_view b = BulletOf((*styles)[index], bullet); !b.empty()) shaped.bullet = std::string(b);
          // A numbered paragraph counts on from the one before at its level, in its scheme.
          const ParagraphStyle& style = (*styles)[index];
          const size_t level = std::min<size_t>(style.level, counters.size() - 1);
          for (size_t deeper = level + 1; deeper < counters.size(); ++deeper) counters[deeper] = {0, -1};
          const AutoNumber* number = numbers != nullptr && style.extension >= 0 &&
                                             static_cast<size_t>(style.extension) < numbers->size()
                                         ? &(*numbers)[static_cast<size_t>(style.extension)]
                                         : nullptr;
          if (shaped.bullet && number != nullptr && number->Counts()) {
            auto& [next, scheme] = counters[level];
            if (scheme != number->scheme) next = number->startAt, scheme = number->scheme;
            if (std::string label = AutoNumberText(number->scheme, next++); !label.empty()) shaped.bullet = std::move(label);
          } else {
            counters[level] = {0, -1};
          }
        }
        budget.Take(sizeof(TextParagraph) + (shaped.bullet ? shaped.bullet->size() : 0));
        // The linked ranges within it: their text and where it starts in the paragraph's.
        // The ranges are in order and apart: those ending before it are done with.
        while (links != nullptr && nextLink < links->size() && (*links)[nextLink].first.end <= at) ++nextLink;
        for (size_t l = nextLink; links != nullptr && l < links->size() && (*links)[l].first.begin < end; ++l) {
          const auto& [range, target] = (*links)[l];
          const size_t from = std::max<size_t>(range.begin, at);
          const size_t to = std::min<size_t>(range.end, end);
          if (from >= to) continue;
          budget.TakeItem(to - from + target.size());
          shaped.links.push_back({paragraph.substr(from - at, to - from), target, from - at});
        }
      }
    }
    at = end + 1;
  }
}

class PptReader {
 public:
  explicit PptReader(const PptReadTargets& targets) : targets_(targets), text_(targets.text) {}

  ResultCode Read(std::shared_ptr<CompoundFile> file) {
    switch (OpenPptDocument(std::move(file), document_)) {
      case PptOpening::kEncrypted: return kResultEncrypted;
      case PptOpening::kNoText: return 0;
      case PptOpening::kReady: break;
    }
    budget_ = PptBudget::ForStream(document_.documentSize);
    if (targets_.deck != nullptr) ReadPropertySets(*document_.file, targets_.deck->metadata, &budget_.model);
    if (targets_.metadata != nullptr && targets_.deck == nullptr) {
      ReadPropertySets(*document_.file, *targets_.metadata, &budget_.model);
      if (text_ == nullptr) return 0;  // no page is read
    }
    stream_ = document_.documentStream.get();
    const uint32_t documentOffset = document_.directory.LookupPersistOffset(document_.docPersistIdRef);
    if (documentOffset == kNoPersistOffset) return 0;  // no document record: nothing can be found
    stream_->Seek(documentOffset);
    CollectSlideList();
    IndexEntries();
    IndexObjects();
    if (targets_.deck != nullptr && targets_.deck->sink != nullptr && text_ == nullptr) {
      HandSlidesOver(*targets_.deck);
      return 0;
    }

    std::vector<Page> slides;
    std::vector<Page> notes;
    std::vector<bool> pageRead(entries_.size(), false);
    // Every object the lists refer to, in the order met. The default text shows an object
    // listed twice twice; the model holds it once.
    for (size_t i = 0; i < entries_.size(); ++i) {
      CheckCancel();
      const uint32_t offset = document_.directory.LookupPersistOffset(entries_[i].persistId);
      if (offset == kNoPersistOffset) continue;  // an unresolved id gives no text
      const size_t first = FirstEntryOf(entries_[i].persistId);
      Page page;
      const bool model = targets_.deck != nullptr && !pageRead[first];
      pageRead[first] = true;
      if (!model && text_ == nullptr) continue;
      page.slideId = entries_[first].slideId;
      if (!WalkPage(offset, first, model ? &page : nullptr) || !model) continue;
      (page.isNotes ? notes : slides).push_back(std::move(page));
    }
    if (text_ != nullptr && unitsEmitted_ > static_cast<uint64_t>(INT32_MAX / 2)) Fail();
    if (targets_.deck != nullptr) {
      for (const Page& slide : slides) StylesOfMaster(slide.masterIdRef);
      targets_.deck->outputBound = budget_.model.OutputBound();
      Assemble(slides, notes, *targets_.deck, budget_.model);
    }
    return 0;
  }

 private:
  // The text of the slide lists: its first bytes are kept as read; beyond them, each atom is
  // where it lies in the stream, read again when a page refers to it, so that a large list
  // costs a few bytes per atom, not its text.
  struct TextAtomPlace {
    uint64_t offset;  // of the atom's data in listText_ when kept, else in the stream
    uint32_t bytes;   // of it that the stream holds
    bool isBytes;     // a TextBytesAtom (one byte a character), else a TextCharsAtom
    bool kept;
  };
  struct ListLine {
    size_t firstAtom;  // in textAtoms_
    uint32_t type;     // the text type of its TextHeaderAtom
    size_t styleOffset = 0;  // its style atom's data in listStyles_, read for the model only
    size_t styleBytes = 0;
  };
  // An entry of a slide list: a slide or notes page and the lines stored with it.
  struct ListEntry {
    uint32_t persistId = 0;
    uint32_t slideId = 0;
    size_t firstLine = 0;  // lines [firstLine, next entry's firstLine) of lines_
  };
  struct EntryOfPersistId {
    uint32_t persistId;
    uint32_t entry;
  };

  // The slide and notes lists of the document record, in order, and for the model its
  // hyperlinks and embedded objects; the direct children of the master list are passed over.
  // Walks depth-first with a stack of its own.
  void CollectSlideList() {
    struct Frame {
      uint32_t recLen;
      uint64_t sum;
      bool skipChildren;
      uint16_t type;
    };
    std::vector<Frame> frames;
    for (;;) {
      const bool skip = !frames.empty() && frames.back().skipChildren;
      RecordHeader header;
      if (ReadRecordHeader(*stream_, header) != 8) return;  // the stream ended inside
      uint64_t size = 8;
      if (header.IsContainer()) {
        if (header.recLen != 0) {
          frames.push_back({header.recLen, 0,
                            header.recType == ppt::kSlideListWithText && header.recInstance == ppt::kMasterListInstance,
                            header.recType});
          continue;
        }
      } else {
        if (targets_.deck != nullptr && !frames.empty() && CollectObjectAtom(header, frames.back().type)) {
          // read by the model's own look
        } else {
          CollectListAtom(header, skip);
        }
        size += header.recLen;
      }
      // Completed records count towards their containers; completed containers in turn.
      for (;;) {
        if (frames.empty()) return;
        frames.back().sum += size;
        if (frames.back().sum < frames.back().recLen) break;
        size = 8 + frames.back().sum;
        frames.pop_back();
      }
    }
  }

  void CollectListAtom(const RecordHeader& header, bool skip) {
    if (skip) {
      // The model keeps where each master is, for the text styles its slides take.
      if (targets_.deck != nullptr && header.recType == ppt::kSlidePersistAtom && header.recLen == ppt::kSlidePersistLength) {
        if (ReadAtomData(header.recLen, header.recLen) >= 16) {
          masters_.push_back({LoadLe32(bytes_.data()), LoadLe32(bytes_.data() + 12), nullptr});
        }
        return;
      }
      Skip(header.recLen);
      return;
    }
    switch (header.recType) {
      case ppt::kSlidePersistAtom:
        if (header.recLen != ppt::kSlidePersistLength) break;  // passed over like any other atom
        if (const size_t n = ReadAtomData(header.recLen, header.recLen); n >= 4) {
          entries_.push_back({LoadLe32(bytes_.data()), n >= 16 ? LoadLe32(bytes_.data() + 12) : 0, lines_.size()});
        }
        return;
      case ppt::kTextHeaderAtom: {
        // The default text cannot place a line before any slide; the model passes it over.
        if (entries_.empty()) {
          if (text_ != nullptr) Fail();
          break;
        }
        const size_t n = ReadAtomData(header.recLen, 4);
        lines_.push_back({textAtoms_.size(), n >= 4 ? LoadLe32(bytes_.data()) : 0});
        return;
      }
      case kStyleTextPropAtom:
        if (targets_.deck == nullptr || lines_.empty() || entries_.empty() || LineCount(entries_.size() - 1) == 0) break;
        {
          const size_t n = ReadAtomData(header.recLen, header.recLen);
          lines_.back().styleOffset = listStyles_.size();
          lines_.back().styleBytes = n;
          listStyles_.insert(listStyles_.end(), bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(n));
        }
        return;
      case ppt::kTextCharsAtom:
      case ppt::kTextBytesAtom: {
        if (entries_.empty() || LineCount(entries_.size() - 1) == 0) {
          if (text_ != nullptr || entries_.empty()) {
            if (text_ != nullptr) Fail();
            break;
          }
          lines_.push_back({textAtoms_.size(), kTextOther, 0, 0});  // text without its header
        }
        // Where the data lies and how much of it the stream holds; read when a page shows it.
        const uint64_t at = stream_->Position();
        const uint64_t left = at < document_.documentSize ? document_.documentSize - at : 0;
        const auto bytes = static_cast<uint32_t>(std::min<uint64_t>({header.recLen, left, INT32_MAX}));
        const bool isBytes = header.recType == ppt::kTextBytesAtom;
        if (bytes > 0 && bytes <= kListTextKept - listText_.size()) {
          const size_t n = ReadAtomData(header.recLen, header.recLen);
          textAtoms_.push_back({listText_.size(), static_cast<uint32_t>(n), isBytes, true});
          listText_.insert(listText_.end(), bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(n));
          return;
        }
        if (bytes > 0) textAtoms_.push_back({at, bytes, isBytes, false});
        break;
      }
      default: break;
    }
    Skip(header.recLen);
  }

  // An atom of the document's hyperlinks and embedded objects; false for any other.
  bool CollectObjectAtom(const RecordHeader& header, uint16_t container) {
    if (header.recType == kExHyperlinkAtom && container == kExHyperlink) {
      hyperlinks_.push_back({ReadWord(header, 0), {}, {}});
    } else if (header.recType == kCString && container == kExHyperlink && !hyperlinks_.empty()) {
      if (header.recInstance == kCStringTarget) hyperlinks_.back().target = ReadCString(header);
      else if (header.recInstance == kCStringLocation) hyperlinks_.back().location = ReadCString(header);
      else Skip(header.recLen);
    } else if (header.recType == kExOleObjAtom && (container == kExOleEmbed || container == kExOleLink)) {
      objects_.push_back({ReadWord(header, 8), BlockType::kOle, std::nullopt, std::nullopt});
    } else if (header.recType == kCString && header.recInstance == kCStringProgId &&
               (container == kExOleEmbed || container == kExOleLink) && !objects_.empty()) {
      if (std::string progId = ReadCString(header); !progId.empty()) objects_.back().progId = std::move(progId);
    } else if (header.recType == kBinaryTagData && container == kProgBinaryTag) {
      ReadOutlineNumbers(header.recLen);
    } else if (header.recType == kTxMasterStyleAtom && container == kEnvironment) {
      const size_t n = ReadAtomData(header.recLen, std::min<uint32_t>(header.recLen, kMasterStyleKept));
      ReadMasterTextStyle(bytes_.data(), n, header.recInstance, documentStyles_);
    } else if (header.recType == kExMediaAtom) {
      objects_.push_back({ReadWord(header, 0), BlockType::kMedia,
                          std::string(container == kExVideo ? "video" : "audio"), std::nullopt});
    } else {
      return false;
    }
    return true;
  }

  // The numbering entries of the slide lists' texts in a tag's data, and the document's
  // additional text styles, read record by record where it lies (the data may hold large
  // pictures before them). The stream ends past it.
  void ReadOutlineNumbers(uint32_t length) {
    const uint64_t end = stream_->Position() + length;
    uint64_t listEnd = 0;  // of the outline text properties container, once met
    std::optional<std::pair<uint32_t, uint32_t>> named;  // the text the last header names
    while (stream_->Position() + 8 <= end) {
      if (budget_.records == 0) Fail();
      --budget_.records;
      RecordHeader header;
      if (ReadRecordHeader(*stream_, header) != 8) break;
      const bool inList = stream_->Position() <= listEnd;
      if (header.recType == kOutlineTextProps9 && header.IsContainer()) {
        listEnd = stream_->Position() + header.recLen;  // its entries follow
      } else if (inList && header.recType == kOutlineTextPropsHeader9Atom && !header.IsContainer()) {
        const size_t n = ReadAtomData(header.recLen, 4);
        named.reset();
        if (n == 4) named = std::make_pair(LoadLe32(bytes_.data()), uint32_t{header.recInstance});
      } else if (inList && header.recType == kStyleTextProp9Atom && !header.IsContainer() && named) {
        const size_t n = ReadAtomData(header.recLen, std::min<uint32_t>(header.recLen, kMasterStyleKept * 16));
        std::vector<AutoNumber> numbers = AutoNumbersOf(bytes_.data(), n);
        budget_.model.TakeItem(numbers.size() * sizeof(AutoNumber));
        outlineNumbers_.emplace(*named, std::move(numbers));
        named.reset();
      } else if (header.recType == kTextMasterStyle9Atom && !header.IsContainer()) {
        // The document's additional styles, under every master's.
        const size_t n = ReadAtomData(header.recLen, std::min<uint32_t>(header.recLen, kMasterStyleKept));
        ReadMasterNumbering(bytes_.data(), n, header.recInstance, documentStyles_);
      } else {
        Skip(header.recLen);
      }
    }
    stream_->Seek(end);
  }

  // A CString atom's UTF-16 text as UTF-8.
  std::string ReadCString(const RecordHeader& header) {
    const size_t n = ReadAtomData(header.recLen, std::min<uint32_t>(header.recLen, 64 * 1024));
    std::u16string text;
    for (size_t i = 0; i + 1 < n; i += 2) text.push_back(static_cast<char16_t>(bytes_[i] | (bytes_[i + 1] << 8)));
    return WideToUtf8(text);
  }

  // Where the InteractiveInfoAtom in bytes_ leads: a hyperlink of the document's list, a
  // slide of this show by the id its location starts with; none for any other action.
  std::optional<LinkTarget> LinkOf(size_t n) const {
    if (n < 9 || bytes_[8] != kActionHyperlink) return std::nullopt;
    const auto found = hyperlinkById_.find(LoadLe32(bytes_.data() + 4));
    if (found == hyperlinkById_.end()) return std::nullopt;
    const ExHyperlink& link = hyperlinks_[found->second];
    if (!link.target.empty()) return LinkTarget{link.target, 0};
    // "slide id,slide number,title"
    uint32_t slideId = 0;
    size_t at = 0;
    for (; at < link.location.size() && link.location[at] >= '0' && link.location[at] <= '9' && slideId < 100000000; ++at) {
      slideId = slideId * 10 + static_cast<uint32_t>(link.location[at] - '0');
    }
    if (at > 0 && (at == link.location.size() || link.location[at] == ',')) return LinkTarget{{}, slideId};
    return std::nullopt;
  }

  // The document's hyperlinks and objects by their ids, the first of an id where several
  // share it.
  void IndexObjects() {
    for (size_t i = 0; i < hyperlinks_.size(); ++i) hyperlinkById_.emplace(hyperlinks_[i].id, i);
    for (size_t i = 0; i < objects_.size(); ++i) objectById_.emplace(objects_[i].id, i);
  }

  void IndexEntries() {
    if (entries_.size() > UINT32_MAX) Fail();
    byPersistId_.reserve(entries_.size());
    for (size_t i = 0; i < entries_.size(); ++i) byPersistId_.push_back({entries_[i].persistId, static_cast<uint32_t>(i)});
    std::sort(byPersistId_.begin(), byPersistId_.end(), [](const EntryOfPersistId& a, const EntryOfPersistId& b) {
      return a.persistId != b.persistId ? a.persistId < b.persistId : a.entry < b.entry;
    });
  }

  // The entries that list a persist id, the first one first.
  std::pair<std::vector<EntryOfPersistId>::const_iterator, std::vector<EntryOfPersistId>::const_iterator>
  EntriesOf(uint32_t persistId) const {
    const auto first = std::lower_bound(byPersistId_.begin(), byPersistId_.end(), persistId,
                                        [](const EntryOfPersistId& e, uint32_t id) { return e.persistId < id; });
    auto end = first;
    while (end != byPersistId_.end() && end->persistId == persistId) ++end;
    return {first, end};
  }
  size_t FirstEntryOf(uint32_t persistId) const { return EntriesOf(persistId).first->entry; }

  size_t LineCount(size_t entry) const {
    const size_t end = entry + 1 < entries_.size() ? entries_[entry + 1].firstLine : lines_.size();
    return end - entries_[entry].firstLine;
  }

  // Walks one slide or notes container with a stack of its own, handing its text to the
  // default text as met and, with `page`, filling the page; false when it is neither.
  bool WalkPage(uint32_t offset, size_t entry, Page* page) {
    stream_->Seek(offset);
    RecordHeader top;
    if (ReadRecordHeader(*stream_, top) != 8) return false;
    if (top.recType != ppt::kSlide && top.recType != ppt::kNotes) return false;
    if (top.recLen == 0) {
      if (text_ != nullptr) Fail();
      if (page != nullptr) page->isNotes = top.recType == ppt::kNotes;
      return true;
    }
    const uint32_t persistId = entries_[entry].persistId;
    if (page != nullptr) page->isNotes = top.recType == ppt::kNotes;
    using Frame = PageFrame;
    std::vector<Frame>& frames = pageFrames_;
    frames.assign(1, {top.recType, top.recLen, 0, SIZE_MAX, SIZE_MAX});
    shapes_.assign(1, Shape{});  // shapes_[0] holds text outside any shape
    openShapes_.assign(1, 0);
    groups_.clear();
    collector_ = SIZE_MAX;
    SlideComment comment;
    // Completed containers close; `intact` is false for what a damaged page left open.
    // Shapes and groups nest as their containers do, so each is the last one open when its
    // container ends: only those open are held.
    auto closeFrame = [&](const Frame& done, bool intact) {
      if (done.shape != SIZE_MAX) {
        FlushShape(done.shape, *page);
        openShapes_.pop_back();
        shapes_.pop_back();
      }
      if (done.group != SIZE_MAX) {
        if (done.group == collector_) {
          collector_ = SIZE_MAX;
          EmitGroup(groups_[done.group], *page);
        }
        groups_.pop_back();
      }
      if (done.type == kComment10 && intact) {
        budget_.model.TakeItem(comment.text.size());
        page->comments.push_back(comment);
      }
    };
    while (!frames.empty()) {
      if (budget_.records == 0) Fail();
      --budget_.records;
      RecordHeader header;
      if (ReadRecordHeader(*stream_, header) != 8) break;  // the stream ended inside
      const uint64_t size = 8ull + header.recLen;
      frames.back().consumed += size;
      if (header.IsContainer()) {
        Frame frame{header.recType, header.recLen, 0, SIZE_MAX, SIZE_MAX};
        if (page != nullptr) OpenContainer(header, frames.back().group, frame.shape, frame.group, comment);
        frames.push_back(frame);
      } else if (header.recType == ppt::kTextCharsAtom || header.recType == ppt::kTextBytesAtom) {
        ReadTextAtom(header);
        if (page != nullptr) {
          Shape& shape = shapes_[openShapes_.back()];
          if (shape.pieces.empty()) AddPiece(shape, kTextOther);
          AddText(shape, std::u16string_view(wide_).substr(0, wide_.size() - 1));
        }
      } else if (header.recType == ppt::kOutlineTextRefAtom) {
        ReadOutlineRef(header, persistId, entry, page);
      } else if (page == nullptr) {
        Skip(header.recLen);
      } else {
        ReadPageAtom(header, frames.size() == 1, frames.back().type,
                     frames.size() >= 2 ? frames[frames.size() - 2].type : uint16_t{0}, *page, comment);
      }
      // Completed containers close; a record running past its container ends the page.
      bool broken = false;
      while (!frames.empty() && frames.back().consumed >= frames.back().recLen) {
        broken = frames.back().consumed > frames.back().recLen;
        const Frame done = frames.back();
        frames.pop_back();
        if (page != nullptr) closeFrame(done, !broken);
        if (broken) break;
      }
      if (broken) break;
    }
    if (page == nullptr) return true;
    // What a damaged page left open still counts.
    while (!frames.empty()) {
      const Frame done = frames.back();
      frames.pop_back();
      closeFrame(done, false);
    }
    FlushShape(0, *page);
    return true;
  }

  // A container of a page opens a shape, a group or a comment for the model.
  void OpenContainer(const RecordHeader& header, size_t parentGroup, size_t& shapeIndex, size_t& groupIndex,
                     SlideComment& comment) {
    if (header.recType == officeart::kSpContainer) {
      Shape opened;
      // A shape directly in a group: the group's own shape first, then its members.
      if (parentGroup != SIZE_MAX) {
        opened.group = parentGroup;
        opened.isGroupShape = !groups_[parentGroup].ownShapeSeen;
        groups_[parentGroup].ownShapeSeen = true;
      }
      shapeIndex = shapes_.size();
      openShapes_.push_back(shapes_.size());
      shapes_.push_back(std::move(opened));
    } else if (header.recType == officeart::kSpgrContainer) {
      groupIndex = groups_.size();
      groups_.emplace_back();
    } else if (header.recType == kComment10) {
      comment = {};
    } else if (header.recType == kInteractiveInfo) {
      interactiveInstance_ = header.recInstance;
    }
  }

  // An atom of a page that only the model reads.
  void ReadPageAtom(const RecordHeader& header, bool topLevel, uint16_t containerType, uint16_t outerType, Page& page,
                    SlideComment& comment) {
    Shape& shape = shapes_[openShapes_.back()];
    if (topLevel && header.recType == kSlideAtom) {
      const size_t n = ReadAtomData(header.recLen, 20);
      if (n >= 4) page.layout = LoadLe32(bytes_.data());
      page.masterIdRef = n >= 16 ? LoadLe32(bytes_.data() + 12) : 0;
      page.notesIdRef = n >= 20 ? LoadLe32(bytes_.data() + 16) : 0;
    } else if (topLevel && header.recType == kNotesAtom) {
      page.slideIdRef = ReadWord(header, 0);
    } else if (topLevel && header.recType == kSlideShowSlideInfoAtom) {
      const size_t n = ReadAtomData(header.recLen, 11);
      page.hidden = n >= 11 && (bytes_[10] & 0x04) != 0;
    } else if (header.recType == officeart::kFsp) {
      shape.type = header.recInstance;
      if (ReadAtomData(header.recLen, 4) == 4 && !shape.id) shape.id = LoadLe32(bytes_.data());
    } else if (header.recType == officeart::kFopt || header.recType == officeart::kTertiaryFopt) {
      const size_t n = ReadAtomData(header.recLen, header.recLen);
      ReadShapeLabels(bytes_.data(), n, header.recInstance, shape.labels);
      // Only the outermost table or diagram is one; what lies within it is its text.
      const GroupKind kind = shape.isGroupShape && !page.isNotes
                                 ? GroupKindOfProperties(bytes_.data(), n, header.recInstance)
                                 : GroupKind::kPlain;
      if (kind != GroupKind::kPlain && collector_ == SIZE_MAX) {
        groups_[shape.group].kind = kind;
        collector_ = shape.group;
      }
    } else if (header.recType == officeart::kChildAnchor || header.recType == officeart::kClientAnchor) {
      const size_t n = ReadAtomData(header.recLen, 16);
      if (!shape.placed) shape.placed = ShapePlaceOfAnchor(header.recType, bytes_.data(), n, shape.place);
    } else if (header.recType == kInteractiveInfoAtom && containerType == kInteractiveInfo) {
      // Clicked: a shape's own link in its client data, a range's in its text box.
      const size_t n = ReadAtomData(header.recLen, 16);
      std::optional<LinkTarget> link = interactiveInstance_ == 0 ? LinkOf(n) : std::nullopt;
      if (outerType == kClientTextbox) {
        shape.link = std::move(link);
      } else if (link) {
        budget_.model.TakeItem(link->target.size());
        page.shapeLinks.push_back(std::move(*link));
      }
    } else if (header.recType == kTxInteractiveInfoAtom && shape.link && !shape.pieces.empty()) {
      const size_t n = ReadAtomData(header.recLen, 8);
      if (n >= 8) {
        budget_.model.Take(sizeof(RunLink) + shape.link->target.size());
        shape.pieces.back().links.push_back({LoadLe32(bytes_.data()), LoadLe32(bytes_.data() + 4), *shape.link});
      }
      shape.link.reset();
    } else if (header.recType == kStyleTextProp9Atom && containerType == kBinaryTagData) {
      const size_t n = ReadAtomData(header.recLen, header.recLen);
      shape.numbers = AutoNumbersOf(bytes_.data(), n);
    } else if (header.recType == kBinaryTagData) {
      // Its records as an atom's data: the style atom first.
      const size_t n = ReadAtomData(header.recLen, header.recLen);
      if (n >= 8 && LoadLe16(bytes_.data() + 2) == kStyleTextProp9Atom) {
        const size_t length = std::min<size_t>(LoadLe32(bytes_.data() + 4), n - 8);
        shape.numbers = AutoNumbersOf(bytes_.data() + 8, length);
      }
    } else if (header.recType == kExObjRefAtom) {
      if (ReadAtomData(header.recLen, 4) == 4) shape.object = LoadLe32(bytes_.data());
    } else if (header.recType == kSlideNumberMetaCharAtom) {
      shape.numberField = true;
      Skip(header.recLen);
    } else if (header.recType == kPlaceholderAtom) {
      if (ReadAtomData(header.recLen, 5) >= 5) shape.placeholder = bytes_[4];
    } else if (header.recType == ppt::kTextHeaderAtom) {
      AddPiece(shape, ReadWord(header, 0));
    } else if (header.recType == kStyleTextPropAtom && !shape.pieces.empty()) {
      const size_t n = ReadAtomData(header.recLen, header.recLen);
      shape.pieces.back().styles = ParagraphStylesOf(bytes_.data(), n, shape.pieces.back().text);
    } else if (header.recType == kCString && containerType == kComment10) {
      const size_t n = ReadAtomData(header.recLen, header.recLen);
      std::u16string text;
      for (size_t i = 0; i + 1 < n; i += 2) text.push_back(static_cast<char16_t>(bytes_[i] | (bytes_[i + 1] << 8)));
      Count(text.size());
      if (header.recInstance == 0) {
        std::string author = WideToUtf8(text);
        budget_.model.TakeItem(author.size());
        comment.author = std::move(author);
      }
      if (header.recInstance == 1) comment.text = WideToUtf8(text);
    } else {
      Skip(header.recLen);
    }
  }

  // A text atom's characters and its paragraph mark, into wide_, and to the default text.
  void ReadTextAtom(const RecordHeader& header) {
    const size_t n = ReadAtomData(header.recLen, header.recLen);
    wide_.clear();
    AppendAtomText(bytes_.data(), n, header.recType == ppt::kTextBytesAtom, wide_);
    wide_.push_back(kCr);
    Emit(wide_);
  }

  // A reference to a line of the slide list: the default text shows the line of every entry
  // that lists this object; the model takes the line of the first.
  void ReadOutlineRef(const RecordHeader& header, uint32_t persistId, size_t entry, Page* page) {
    if (header.recLen < 4 || ReadAtomData(header.recLen, 4) < 4) return;  // no index: no text
    const auto index = static_cast<int32_t>(LoadLe32(bytes_.data()));
    if (index < 0) {
      if (text_ != nullptr) Fail();
      return;
    }
    const auto line = static_cast<size_t>(index);
    if (text_ != nullptr) {
      const auto [first, end] = EntriesOf(persistId);
      for (auto it = first; it != end; ++it) {
        if (LineCount(it->entry) <= line) continue;
        ForEachListPiece(entries_[it->entry].firstLine + line, [&](std::u16string_view piece) { Emit(piece); });
        Emit(std::u16string_view(&kCr, 1));
      }
    }
    if (page != nullptr && line < LineCount(entry)) {
      const size_t at = entries_[entry].firstLine + line;
      Shape& shape = shapes_[openShapes_.back()];
      AddPiece(shape, lines_[at].type);
      ForEachListPiece(at, [&](std::u16string_view text) {
        if (text_ == nullptr) Count(text.size());
        AddText(shape, text);
      });
      if (lines_[at].styleBytes != 0) {
        shape.pieces.back().styles =
            ParagraphStylesOf(listStyles_.data() + lines_[at].styleOffset, lines_[at].styleBytes, shape.pieces.back().text);
      }
      // Its numbering, kept by the document for the slide's text at this index.
      const auto numbered = outlineNumbers_.find({entries_[entry].slideId, static_cast<uint32_t>(line)});
      if (shape.numbers.empty() && numbered != outlineNumbers_.end()) shape.numbers = numbered->second;
    }
  }

  // A line of the slide list, a piece at a time: its kept bytes, or its atoms read again from
  // the stream a block at a time.
  template <typename Take>
  void ForEachListPiece(size_t line, Take take) {
    constexpr uint32_t kBlock = 32 * 1024;  // even: a block never splits a character
    const size_t end = line + 1 < lines_.size() ? lines_[line + 1].firstAtom : textAtoms_.size();
    for (size_t a = lines_[line].firstAtom; a < end; ++a) {
      const TextAtomPlace& place = textAtoms_[a];
      if (place.kept) {
        take(DecodeAtomText(listText_.data() + place.offset, place.bytes, place.isBytes));
        continue;
      }
      if (!listStream_) listStream_ = stream_->Duplicate();
      listStream_->Seek(place.offset);
      for (uint32_t done = 0; done < place.bytes;) {
        const uint32_t wanted = std::min(kBlock, place.bytes - done);
        listBytes_.resize(wanted);
        const size_t got = listStream_->Read(listBytes_.data(), wanted);
        if (got == 0) break;
        take(DecodeAtomText(listBytes_.data(), got, place.isBytes));
        if (got < wanted) break;
        done += wanted;
      }
    }
  }

  std::u16string_view DecodeAtomText(const uint8_t* data, size_t size, bool isBytes) {
    listWide_.clear();
    AppendAtomText(data, size, isBytes, listWide_);
    return listWide_;
  }

  // Text met, counted against the bound of what one document may give, and handed to the
  // default text. A hostile file can list one object thousands of times.
  void Emit(std::u16string_view text) {
    Count(text.size());
    if (text_ != nullptr) text_->Append(text);
  }
  void Count(size_t units) {
    if (units > budget_.units) Fail();
    budget_.units -= units;
    unitsEmitted_ += units;
  }

  // The text styles of the master a slide names, read once; none for a master that is not
  // there. A title master takes the styles of the main master it names in turn.
  const MasterTextStyles* StylesOfMaster(uint32_t masterId, int hops = 0) {
    if (masterById_.empty()) {
      for (size_t i = 0; i < masters_.size(); ++i) masterById_.emplace(masters_[i].slideId, i);
    }
    const auto it = masterById_.find(masterId);
    if (masterId == 0 || it == masterById_.end()) return nullptr;
    MasterEntry* const found = &masters_[it->second];
    if (found->styles) return found->styles.get();
    budget_.model.Take(sizeof(MasterTextStyles));
    auto styles = std::make_shared<MasterTextStyles>();
    found->styles = styles;  // read once, also when it names itself
    const uint32_t offset = document_.directory.LookupPersistOffset(found->persistId);
    if (offset == kNoPersistOffset) return styles.get();
    stream_->Seek(offset);
    RecordHeader top;
    if (ReadRecordHeader(*stream_, top) != 8 || !top.IsContainer() ||
        (top.recType != kMainMaster && top.recType != ppt::kSlide)) {
      return styles.get();
    }
    uint32_t titleOf = 0;  // the main master of a title master
    // Its direct children: the style atoms, or a title master's slide atom; and within its
    // tags, the tag data that holds the additional styles.
    for (uint64_t at = 0; at + 8 <= top.recLen;) {
      if (budget_.records == 0) Fail();
      --budget_.records;
      RecordHeader header;
      if (ReadRecordHeader(*stream_, header) != 8) break;
      if (header.IsContainer() && (header.recType == kProgTags || header.recType == kProgBinaryTag)) {
        at += 8;  // its records follow
        continue;
      }
      at += 8ull + header.recLen;
      if (header.recType == kTxMasterStyleAtom && top.recType == kMainMaster && !header.IsContainer()) {
        const size_t n = ReadAtomData(header.recLen, std::min<uint32_t>(header.recLen, kMasterStyleKept));
        ReadMasterTextStyle(bytes_.data(), n, header.recInstance, *styles);
      } else if (header.recType == kBinaryTagData && top.recType == kMainMaster && !header.IsContainer()) {
        const size_t n = ReadAtomData(header.recLen, std::min<uint32_t>(header.recLen, kMasterStyleKept * 4));
        ReadMasterTagData(bytes_.data(), n, *styles);
      } else if (header.recType == kSlideAtom && top.recType == ppt::kSlide && !header.IsContainer()) {
        titleOf = ReadWord(header, 12);
      } else {
        Skip(header.recLen);
      }
    }
    if (titleOf != 0 && hops == 0) {
      if (const MasterTextStyles* main = StylesOfMaster(titleOf, 1)) *styles = *main;
    }
    return styles.get();
  }

  // Reads up to `keep` bytes of atom data (no more than the stream still holds) into bytes_
  // and moves past the whole length; returns the bytes read.
  size_t ReadAtomData(uint32_t length, uint32_t keep) {
    bytes_ = ReadAtomView(*stream_, document_.documentSize, length, keep, atomCopy_);
    return bytes_.size();
  }
  uint32_t ReadWord(const RecordHeader& header, size_t at) {
    const size_t n = ReadAtomData(header.recLen, static_cast<uint32_t>(at + 4));
    return n >= at + 4 ? LoadLe32(bytes_.data() + at) : 0;
  }
  void Skip(uint32_t length) {
    stream_->Skip(length);
  }

  // A shape's texts for the model, held as UTF-16 until the shape ends and taken from the
  // budget as they grow: a shape can refer to one long line of the slide list many times.
  void AddPiece(Shape& shape, uint32_t type) {
    budget_.model.Take(sizeof(TextPiece));
    shape.pieces.emplace_back().type = type;
  }
  void AddText(Shape& shape, std::u16string_view text) {
    budget_.model.Take(2 * text.size());
    shape.pieces.back().text.append(text);
  }

  // The shape's texts go to the page, or to the table or diagram it lies in, as UTF-8.
  void FlushShape(size_t index, Page& page) {
    Shape& shape = shapes_[index];
    // A shape that shows only the page's number is a number however it is placed.
    if (shape.numberField && shape.pieces.size() == 1 && shape.pieces[0].text == u"*") {
      shape.placeholder = kPlaceholderMasterSlideNumber;
    }
    std::vector<PagePiece>* to = &page.pieces;
    // What the shape's pieces share.
    std::shared_ptr<ShapeOrigin> origin;
    if (!shape.pieces.empty() || ((shape.object || shape.labels.picture) && collector_ == SIZE_MAX && index != 0)) {
      origin = std::make_shared<ShapeOrigin>();
      origin->shapeId = shape.id;
      origin->labels.name = shape.labels.name;
      if (shape.pieces.empty() && shape.object) {
        origin->object = shape.object;
      } else if (shape.pieces.empty()) {
        origin->labels = shape.labels;
      } else {
        origin->numbers = shape.numbers;
      }
      budget_.model.Take(OriginBytes(*origin));
    }
    if (collector_ == SIZE_MAX) {
      // A picture is a piece of no text where it stands.
      if ((shape.object || shape.labels.picture) && shape.pieces.empty() && index != 0) {
        PagePiece object;
        object.placeholder = shape.placeholder;
        object.shape = origin;
        budget_.model.Take(PieceBytes(object));
        page.pieces.push_back(std::move(object));
      }
    } else {
      ShapeGroup& group = groups_[collector_];
      // A table's cells are its own rectangles; its borders are lines.
      if (group.kind == GroupKind::kTable && shape.group == collector_ && !shape.isGroupShape && shape.placed &&
          shape.type != officeart::kLineShapeType) {
        budget_.model.TakeItem(0);
        group.cellPlaces.push_back(shape.place);
        group.cells.emplace_back();
        to = &group.cells.back();
      } else {
        to = &group.loose;
      }
    }
    for (TextPiece& piece : shape.pieces) {
      PagePiece flushed;
      flushed.placeholder = shape.placeholder;
      flushed.type = piece.type;
      flushed.text = Spare();
      AppendWideAsUtf8(piece.text, flushed.text);
      flushed.links = Utf8Links(piece.text, std::move(piece.links), flushed.text.size());
      const uint64_t held = sizeof(TextPiece) + 2 * piece.text.size();
      std::u16string().swap(piece.text);
      flushed.styles = std::move(piece.styles);
      flushed.shape = origin;
      budget_.model.Give(held);
      budget_.model.Take(PieceBytes(flushed));
      to->push_back(std::move(flushed));
    }
    std::vector<TextPiece>().swap(shape.pieces);
  }

  // A table's cells go to the page in rows, each row left to right, with what else the group
  // holds after them; a diagram's text goes to the diagrams.
  static void EmitGroup(ShapeGroup& group, Page& page) {
    if (group.kind == GroupKind::kDiagram) {
      for (auto& cell : group.cells) {
        for (PagePiece& piece : cell) page.diagramPieces.push_back(std::move(piece.text));
      }
      for (PagePiece& piece : group.loose) page.diagramPieces.push_back(std::move(piece.text));
      return;
    }
    PieceTable table;
    table.firstPiece = page.pieces.size();
    for (const auto& row : LayOutTableCells(group.cellPlaces)) {
      table.rows.emplace_back();
      for (const std::vector<size_t>& position : row) {
        const size_t first = page.pieces.size();
        for (const size_t cell : position) {
          for (PagePiece& piece : group.cells[cell]) page.pieces.push_back(std::move(piece));
        }
        table.rows.back().emplace_back(first, page.pieces.size());
      }
    }
    table.endPiece = page.pieces.size();
    page.tables.push_back(std::move(table));
    for (PagePiece& piece : group.loose) page.pieces.push_back(std::move(piece));
  }

  // A table of the model: a cell's text is its paragraphs joined by line breaks.
  static SlideTable MakeTable(const PieceTable& pieces, const std::vector<size_t>& pieceStarts,
                              const std::vector<std::string>& paragraphs, ModelBudget& budget) {
    SlideTable table;
    table.firstParagraph = pieceStarts[pieces.firstPiece];
    table.endParagraph = pieceStarts[pieces.endPiece];
    budget.TakeItem(0);
    for (const auto& row : pieces.rows) {
      budget.TakeItem(0);
      table.rows.emplace_back();
      for (const auto& [first, end] : row) {
        std::string cell;
        budget.TakeItem(0);
        for (size_t p = pieceStarts[first]; p < pieceStarts[end]; ++p) {
          budget.Take(paragraphs[p].size() + 1);
          if (!cell.empty()) cell.push_back('\n');
          cell += paragraphs[p];
        }
        table.rows.back().push_back(std::move(cell));
      }
    }
    return table;
  }

  // The text of a notes page: its body and other text to the notes, its header, footer and
  // date to their own list; the slide image and the page number are no text of it.
  static void AppendNotesPage(const Page& page, std::vector<std::string>& notes, std::vector<std::string>& footers,
                              ModelBudget& budget) {
    for (const PagePiece& piece : page.pieces) {
      if (IsFooterPlaceholder(piece.placeholder)) {
        AppendParagraphs(piece.text, footers, budget);
      } else if (piece.placeholder != kPlaceholderMasterNotesSlideImage &&
                 piece.placeholder != kPlaceholderNotesSlideImage &&
                 piece.placeholder != kPlaceholderMasterSlideNumber) {
        AppendParagraphs(piece.text, notes, budget);
      }
    }
  }

  // What a page's pieces took from the budget.
  static uint64_t HeldBy(const Page& page) {
    uint64_t bytes = 0;
    for (const PagePiece& piece : page.pieces) bytes += PieceBytes(piece);
    for (const std::string& text : page.diagramPieces) bytes += ModelBudget::kItemBytes + text.size();
    for (const LinkTarget& link : page.shapeLinks) bytes += ModelBudget::kItemBytes + link.target.size();
    return bytes;
  }

  // A page the model reads: each is read once, at the first entry of its persist id.
  struct ModelPage {
    size_t entry;
    uint32_t offset;
    bool isNotes;
  };

  // The pages the model reads, in list order, each told by its first record alone (what
  // WalkPage reads no further than).
  std::vector<ModelPage> ModelPages() {
    std::vector<ModelPage> pages;
    for (size_t i = 0; i < entries_.size(); ++i) {
      const uint32_t offset = document_.directory.LookupPersistOffset(entries_[i].persistId);
      if (offset == kNoPersistOffset || FirstEntryOf(entries_[i].persistId) != i) continue;
      stream_->Seek(offset);
      RecordHeader top;
      if (ReadRecordHeader(*stream_, top) != 8 || (top.recType != ppt::kSlide && top.recType != ppt::kNotes)) continue;
      pages.push_back({i, offset, top.recType == ppt::kNotes});
    }
    return pages;
  }

  // The model for a deck that hands its slides over: the notes pages first, then each slide
  // made and handed over as soon as its page is read, so that only the notes pages and one
  // slide are held at once. The slides, their numbers and their notes are those of Assemble.
  void HandSlidesOver(SlideDeck& deck) {
    const std::vector<ModelPage> pages = ModelPages();
    std::vector<Page> notes;
    std::vector<uint32_t> slideIds;
    for (const ModelPage& place : pages) {
      if (!place.isNotes) {
        slideIds.push_back(entries_[place.entry].slideId);
        continue;
      }
      CheckCancel();
      Page page;
      page.slideId = entries_[place.entry].slideId;
      WalkPage(place.offset, place.entry, &page);
      notes.push_back(std::move(page));
    }
    deck.outputBound = budget_.model.OutputBound();
    Assembly assembly = Prepare(slideIds, notes);
    size_t index = 0;
    for (const ModelPage& place : pages) {
      if (place.isNotes) continue;
      CheckCancel();
      Page page;
      page.slideId = entries_[place.entry].slideId;
      WalkPage(place.offset, place.entry, &page);
      StylesOfMaster(page.masterIdRef);
      AssembleSlide(index++, page, notes, assembly, deck, budget_.model);
      for (PagePiece& piece : page.pieces) KeepSpare(piece.text);
    }
    AddOrphans(notes, assembly, deck, budget_.model);
  }

  void CheckCancel() const {
    if (targets_.cancel != nullptr && targets_.cancel->load(std::memory_order_relaxed)) throw PptCancelled();
  }

  // What ties the slides to their notes pages and links to slides: built once the slides' ids
  // and every notes page are known, before any slide is made.
  struct Assembly {
    std::unordered_map<uint32_t, size_t> slideById;  // the first slide of each id
    std::unordered_map<uint32_t, size_t> notesById;
    std::vector<const Page*> notesOf;  // the notes page naming each slide
    std::vector<bool> tied;            // of each notes page, whether a slide shows it
  };

  static Assembly Prepare(const std::vector<uint32_t>& slideIds, const std::vector<Page>& notes) {
    Assembly assembly;
    for (size_t i = 0; i < slideIds.size(); ++i) {
      if (slideIds[i] != 0) assembly.slideById.emplace(slideIds[i], i);
    }
    for (size_t i = 0; i < notes.size(); ++i) {
      if (notes[i].slideId != 0) assembly.notesById.emplace(notes[i].slideId, i);
    }
    assembly.notesOf.assign(slideIds.size(), nullptr);
    assembly.tied.assign(notes.size(), false);
    for (const Page& page : notes) {
      const auto it = assembly.slideById.find(page.slideIdRef);
      if (page.slideIdRef != 0 && it != assembly.slideById.end() && assembly.notesOf[it->second] == nullptr) {
        assembly.notesOf[it->second] = &page;
      }
    }
    return assembly;
  }

  // Slides in list order, each with the notes page tied to it; notes pages of no slide are
  // text on no slide. A slide's page is given up once its slide is made.
  // A slide piece's paragraph styles and numbering with what they leave to the masters taken
  // from the slide's master and the document's; a piece without a style atom takes them
  // whole. Each paragraph's style names its own entry of the numbering given back.
  // They go to pieceStyles_ and pieceNumbers_.
  void WithMasterStyles(const PagePiece& piece, const std::vector<AutoNumber>& shapeNumbers, uint32_t masterId) {
    std::vector<ParagraphStyle>& styles = pieceStyles_;
    styles.assign(piece.styles.begin(), piece.styles.end());
    const auto found = masterById_.find(masterId);
    const MasterTextStyles* master = found != masterById_.end() ? masters_[found->second].styles.get() : nullptr;
    const size_t paragraphs = 1 + CountMarks(piece.text);
    if (styles.size() < paragraphs) styles.resize(paragraphs);
    std::vector<AutoNumber>& numbers = pieceNumbers_;
    numbers.clear();
    for (ParagraphStyle& style : styles) {
      InheritFromMasters(style, piece.type, {master, &documentStyles_});
      AutoNumber number;
      if (style.extension >= 0 && static_cast<size_t>(style.extension) < shapeNumbers.size()) {
        number = shapeNumbers[static_cast<size_t>(style.extension)];
      }
      // The masters' numbering reaches placeholders only.
      if (piece.placeholder >= 0) {
        InheritNumberFromMasters(number, piece.type, style.level, {master, &documentStyles_});
      }
      style.extension = static_cast<int>(numbers.size());
      numbers.push_back(number);
    }
  }

  void Assemble(std::vector<Page>& slides, const std::vector<Page>& notes, SlideDeck& deck, ModelBudget& budget) {
    std::vector<uint32_t> slideIds;
    for (const Page& page : slides) slideIds.push_back(page.slideId);
    Assembly assembly = Prepare(slideIds, notes);
    for (size_t i = 0; i < slides.size(); ++i) {
      AssembleSlide(i, slides[i], notes, assembly, deck, budget);
      slides[i] = Page();
    }
    AddOrphans(notes, assembly, deck, budget);
  }

  // The slide of the page, made and added to the deck; the notes page it shows is the one
  // naming it, else the one it names.
  void AssembleSlide(size_t i, Page& page, const std::vector<Page>& notes, Assembly& assembly,
                     SlideDeck& deck, ModelBudget& budget) {
    const std::unordered_map<uint32_t, size_t>& slideById = assembly.slideById;
    const Page* notesPage = assembly.notesOf[i];
    if (const auto it = assembly.notesById.find(page.notesIdRef);
        notesPage == nullptr && page.notesIdRef != 0 && it != assembly.notesById.end()) {
      notesPage = &notes[it->second];
    }
    if (notesPage != nullptr) assembly.tied[static_cast<size_t>(notesPage - notes.data())] = true;
    const uint64_t left = budget.Left();
    budget.TakeSlide();
    Slide& slide = slide_;  // empty: the slide before was released
    slide.number = static_cast<int>(i) + 1;
    slide.hidden = page.hidden;
    bool titleDone = false;
    std::vector<size_t>& pieceStarts = pieceStarts_;  // the first paragraph of each piece, and the end
    std::vector<PieceOrigin>& origins = origins_;      // of each piece
    std::vector<TextParagraph>& shapes = paragraphShapes_;  // level, bullet and links of each paragraph
    pieceStarts.clear();
    origins.clear();
    shapes.clear();
    std::unordered_set<std::string> linked;
    auto note = [&](const std::string& target) {
      if (linked.count(target) != 0) return;
      budget.TakeItem(2 * target.size());  // in the slide's links and in `linked`
      linked.insert(target);
      slide.links.push_back(target);
    };
    // Where a link leads: a slide of the show as "#slide=N"; none for a slide not in it.
    auto resolve = [&](const LinkTarget& link) -> std::optional<std::string> {
      if (!link.target.empty()) return link.target;
      const auto it = slideById.find(link.slideId);
      if (link.slideId == 0 || it == slideById.end()) return std::nullopt;
      return "#slide=" + std::to_string(it->second + 1);
    };
    for (const PagePiece& piece : page.pieces) {
      const size_t first = slide.paragraphs.size();
      pieceStarts.push_back(first);
      static const ShapeOrigin kNoShape;
      const ShapeOrigin& shape = piece.shape ? *piece.shape : kNoShape;
      PieceOrigin origin;
      origin.placement = piece.placeholder;
      origin.shapeId = shape.shapeId;
      origin.name = shape.labels.name;
      origin.description = shape.labels.description;
      origin.picture = shape.labels.picture && piece.text.empty();
      if (const auto found = shape.object ? objectById_.find(*shape.object) : objectById_.end();
          found != objectById_.end()) {
        const ExObject& object = objects_[found->second];
        origin.objectType = object.type;
        origin.mediaType = object.mediaType;
        origin.progId = object.progId;
      }
      budget.Take(sizeof(PieceOrigin) + OptionalBytes(origin.name) + OptionalBytes(origin.description) +
                  OptionalBytes(origin.mediaType) + OptionalBytes(origin.progId));
      origins.push_back(std::move(origin));
      // Ranges in order, each apart from the one before (no real file overlaps them).
      budget.Take(piece.links.size() * sizeof(RunLink));
      std::vector<RunLink> ranges = piece.links;
      std::stable_sort(ranges.begin(), ranges.end(), [](const RunLink& a, const RunLink& b) { return a.begin < b.begin; });
      std::vector<std::pair<RunLink, std::string>> links;
      for (const RunLink& link : ranges) {
        if (link.begin >= link.end || (!links.empty() && link.begin < links.back().first.end)) continue;
        if (std::optional<std::string> target = resolve(link.target)) {
          note(*target);
          budget.TakeItem(target->size());
          links.emplace_back(link, std::move(*target));
        }
      }
      WithMasterStyles(piece, shape.numbers, page.masterIdRef);
      AppendParagraphs(piece.text, slide.paragraphs, budget, &pieceStyles_, &shapes, &links, &pieceNumbers_, &spare_);
      if (IsFooterPlaceholder(piece.placeholder)) AppendParagraphs(piece.text, slide.footers, budget);
      const bool isTitle = piece.type == kTextTitle || piece.type == kTextCenterTitle;
      if (isTitle && !titleDone && slide.paragraphs.size() > first) {
        titleDone = true;
        slide.title = Spare();
        slide.titleBegin = first;
        slide.titleEnd = slide.paragraphs.size();
        for (size_t p = first; p < slide.paragraphs.size(); ++p) {
          budget.Take(slide.paragraphs[p].size() + 1);
          if (p > first) slide.title.push_back('\n');
          slide.title += slide.paragraphs[p];
        }
      }
    }
    pieceStarts.push_back(slide.paragraphs.size());
    for (const PieceTable& table : page.tables) {
      slide.tables.push_back(MakeTable(table, pieceStarts, slide.paragraphs, budget));
    }
    for (const std::string& text : page.diagramPieces) AppendParagraphs(text, slide.diagrams, budget);
    for (const LinkTarget& link : page.shapeLinks) {
      if (std::optional<std::string> target = resolve(link)) note(*target);
    }
    AddSlideBlocks(slide, origins, pieceStarts, shapes, IsFooterPlaceholder);
    // The blocks hold the slide's texts once more.
    for (const SlideBlock& block : slide.blocks) budget.Take(BlockBytes(block));
    if (page.slideId != 0) slide.id = page.slideId;
    if (page.layout) slide.layout = LayoutName(*page.layout);
    if (slide.layout) budget.Take(slide.layout->size());
    if (notesPage != nullptr) AppendNotesPage(*notesPage, slide.notes, slide.notesFooters, budget);
    slide.comments = std::move(page.comments);
    // A slide handed to a form is held no longer: the budget bounds what is held at once.
    uint64_t handed = left - budget.Left();
    for (const SlideComment& comment : slide.comments) handed += ModelBudget::kItemBytes + comment.text.size();
    const bool kept = deck.sink == nullptr;
    deck.Add(std::move(slide));
    ReleaseSlide();
    if (!kept) budget.Give(handed);
    budget.Give(HeldBy(page));
  }

  // Empties the slide once a form has written it (or the deck has taken it over), keeping a
  // few of its strings and its list of paragraphs for the next: the reader holds no slide
  // while it reads the next page.
  void ReleaseSlide() {
    Slide& slide = slide_;
    for (std::string& paragraph : slide.paragraphs) KeepSpare(paragraph);
    for (SlideBlock& block : slide.blocks) {
      for (TextParagraph& paragraph : block.paragraphs) KeepSpare(paragraph.text);
    }
    KeepSpare(slide.title);
    std::vector<std::string> paragraphs = std::move(slide.paragraphs);
    paragraphs.clear();
    slide = Slide();
    slide.paragraphs = std::move(paragraphs);
  }
  std::string Spare() { return TakeSpare(spare_); }
  void KeepSpare(std::string& text) {
    if (spare_.size() < kSpareStrings && text.capacity() <= kSpareBytes) spare_.push_back(std::move(text));
  }

  void AddOrphans(const std::vector<Page>& notes, const Assembly& assembly, SlideDeck& deck, ModelBudget& budget) const {
    for (size_t i = 0; i < notes.size(); ++i) {
      if (assembly.tied[i]) continue;
      for (const PagePiece& piece : notes[i].pieces) AppendParagraphs(piece.text, deck.orphans, budget);
    }
  }

  PptReadTargets targets_;
  TextEncoder* text_;
  PptDocument document_;
  CfbStream* stream_ = nullptr;
  std::unique_ptr<CfbStream> listStream_;  // reads the slide list's text again
  std::vector<ListEntry> entries_;
  std::vector<ListLine> lines_;
  std::vector<TextAtomPlace> textAtoms_;
  std::vector<uint8_t> listText_;
  std::vector<uint8_t> listStyles_;  // the slide lists' style atoms, kept for the model
  struct ExHyperlink {
    uint32_t id;
    std::string target;
    std::string location;
  };
  std::vector<ExHyperlink> hyperlinks_;  // the document's, for the model
  // The masters of the master list, their text styles read when a slide needs them.
  struct MasterEntry {
    uint32_t persistId;
    uint32_t slideId;
    std::shared_ptr<const MasterTextStyles> styles;
  };
  std::vector<MasterEntry> masters_;
  std::unordered_map<uint32_t, size_t> masterById_;  // the first master of each id
  MasterTextStyles documentStyles_;  // the document's own, under every master's
  // The numbering entries of the slide lists' texts, by slide id and index among its texts.
  std::map<std::pair<uint32_t, uint32_t>, std::vector<AutoNumber>> outlineNumbers_;
  std::vector<ExObject> objects_;
  std::unordered_map<uint32_t, size_t> hyperlinkById_;
  std::unordered_map<uint32_t, size_t> objectById_;
  std::vector<EntryOfPersistId> byPersistId_;  // sorted by persist id, then entry
  // The atom last read: seen in the stream's cache, or copied into atomCopy_ where it is not
  // all there; used before the stream is read again.
  std::span<const uint8_t> bytes_;
  std::vector<uint8_t> atomCopy_;
  std::vector<uint8_t> listBytes_;
  std::u16string wide_;
  std::u16string listWide_;
  // The page being walked, for the model.
  struct PageFrame {
    uint16_t type;
    uint32_t recLen;
    uint64_t consumed;
    size_t shape;  // the shape this frame opened, or SIZE_MAX
    size_t group;  // the group this frame opened, or SIZE_MAX
  };
  std::vector<PageFrame> pageFrames_;  // the containers open, kept from page to page
  std::vector<Shape> shapes_;
  std::vector<size_t> openShapes_;
  // What making a slide uses, kept from slide to slide: the slide, a few strings of the slide
  // before for its texts, each piece's paragraph styles and numbering, each piece's first
  // paragraph and origin, each paragraph's level, bullet and links.
  static constexpr size_t kSpareStrings = 1024;
  static constexpr size_t kSpareBytes = 1024;
  Slide slide_;
  std::vector<std::string> spare_;
  std::vector<ParagraphStyle> pieceStyles_;
  std::vector<AutoNumber> pieceNumbers_;
  std::vector<size_t> pieceStarts_;
  std::vector<PieceOrigin> origins_;
  std::vector<TextParagraph> paragraphShapes_;
  std::vector<ShapeGroup> groups_;
  size_t collector_ = SIZE_MAX;  // the open table or diagram group that takes the text within
  uint16_t interactiveInstance_ = 0;  // of the interaction being read: 0 for a click
  PptBudget budget_;
  uint64_t unitsEmitted_ = 0;
};

}  // namespace

ResultCode ReadPpt(std::shared_ptr<CompoundFile> file, const PptReadTargets& targets) {
  try {
    return PptReader(targets).Read(std::move(file));
  } catch (const PptCancelled&) {
    return kResultCancelled;
  } catch (...) {  // damage the reader cannot go past, or memory running out
    return CaughtFailureCode();
  }
}

}  // namespace dkscr
