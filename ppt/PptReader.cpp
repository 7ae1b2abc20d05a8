#include "ppt/PptReader.h"

#include <algorithm>
#include <climits>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/Utf.h"
#include "ppt/PptBudget.h"
#include "ppt/PptDocument.h"
#include "ppt/PptRecords.h"
#include "ppt/ShapeGroups.h"
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

bool IsFooterPlaceholder(int placeholder) {
  return placeholder == kPlaceholderMasterDate || placeholder == kPlaceholderMasterFooter ||
         placeholder == kPlaceholderMasterHeader;
}

constexpr char16_t kCr = u'\r';
// Slide list text kept as read; what lies beyond is read again from the stream when shown.
constexpr size_t kListTextKept = 64 * 1024;

struct PptFormatError {};
struct PptCancelled {};

[[noreturn]] void Fail() { throw PptFormatError(); }

// One text of a shape (or a line of the slide list): its text type and characters.
struct TextPiece {
  uint32_t type = kTextOther;
  std::u16string text;
};

// A text of a page for the model: the placeholder of its shape (-1: none), its text type and
// its characters as UTF-8.
struct PagePiece {
  int placeholder = -1;
  uint32_t type = kTextOther;
  std::string text;
};

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
  uint32_t slideIdRef = 0;  // a notes page's slide, by slide id
  uint32_t slideId = 0;     // from the slide list
  std::vector<PagePiece> pieces;
  std::vector<PieceTable> tables;
  std::vector<std::string> diagramPieces;
  std::vector<SlideComment> comments;
};

// A shape of a page's drawing while it is read.
struct Shape {
  int placeholder = -1;
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

// Paragraphs of a text: split at the paragraph mark (CR), a line break (vertical tab) as "\n",
// empty paragraphs left out; each taken from the budget.
void AppendParagraphs(std::string_view text, std::vector<std::string>& out, ModelBudget& budget) {
  size_t at = 0;
  while (at <= text.size()) {
    size_t end = text.find('\r', at);
    if (end == std::string_view::npos) end = text.size();
    if (end > at) {
      budget.TakeItem(end - at);
      std::string paragraph(text.substr(at, end - at));
      std::replace(paragraph.begin(), paragraph.end(), '\v', '\n');
      out.push_back(std::move(paragraph));
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
    stream_ = document_.documentStream.get();
    const uint32_t documentOffset = document_.directory.LookupPersistOffset(document_.docPersistIdRef);
    if (documentOffset == kNoPersistOffset) return 0;  // no document record: nothing can be found
    stream_->Seek(documentOffset);
    CollectSlideList();
    IndexEntries();

    budget_ = PptBudget::ForStream(document_.documentSize);
    std::vector<Page> slides;
    std::vector<Page> notes;
    std::vector<bool> pageRead(entries_.size(), false);
    // Every object the lists refer to, in the order met. The default text shows an object
    // listed twice twice; the model holds it once.
    for (size_t i = 0; i < entries_.size(); ++i) {
      if (targets_.cancel != nullptr && targets_.cancel->load(std::memory_order_relaxed)) throw PptCancelled();
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
      Assemble(slides, notes, *targets_.deck, budget_.model);
      targets_.deck->outputBound = budget_.model.OutputBound();
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

  // The slide and notes lists of the document record, in order; the direct children of the
  // master list are passed over. Walks depth-first with a stack of its own.
  void CollectSlideList() {
    struct Frame {
      uint32_t recLen;
      uint64_t sum;
      bool skipChildren;
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
                            header.recType == ppt::kSlideListWithText && header.recInstance == ppt::kMasterListInstance});
          continue;
        }
      } else {
        CollectListAtom(header, skip);
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
      case ppt::kTextCharsAtom:
      case ppt::kTextBytesAtom: {
        if (entries_.empty() || LineCount(entries_.size() - 1) == 0) {
          if (text_ != nullptr || entries_.empty()) {
            if (text_ != nullptr) Fail();
            break;
          }
          lines_.push_back({textAtoms_.size(), kTextOther});  // text without its header
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
    struct Frame {
      uint16_t type;
      uint32_t recLen;
      uint64_t consumed;
      size_t shape;  // the shape this frame opened, or SIZE_MAX
      size_t group;  // the group this frame opened, or SIZE_MAX
    };
    std::vector<Frame> frames{{top.recType, top.recLen, 0, SIZE_MAX, SIZE_MAX}};
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
        ReadPageAtom(header, frames.size() == 1, frames.back().type, *page, comment);
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
    }
  }

  // An atom of a page that only the model reads.
  void ReadPageAtom(const RecordHeader& header, bool topLevel, uint16_t containerType, Page& page,
                    SlideComment& comment) {
    Shape& shape = shapes_[openShapes_.back()];
    if (topLevel && header.recType == kSlideAtom) {
      page.notesIdRef = ReadWord(header, 16);
    } else if (topLevel && header.recType == kNotesAtom) {
      page.slideIdRef = ReadWord(header, 0);
    } else if (topLevel && header.recType == kSlideShowSlideInfoAtom) {
      const size_t n = ReadAtomData(header.recLen, 11);
      page.hidden = n >= 11 && (bytes_[10] & 0x04) != 0;
    } else if (header.recType == officeart::kFsp) {
      shape.type = header.recInstance;
      Skip(header.recLen);
    } else if ((header.recType == officeart::kFopt || header.recType == officeart::kTertiaryFopt) &&
               shape.isGroupShape && !page.isNotes) {
      // Only the outermost table or diagram is one; what lies within it is its text.
      const uint32_t keep = static_cast<uint32_t>(std::min<uint64_t>(header.recLen, 6ull * header.recInstance));
      const size_t n = ReadAtomData(header.recLen, keep);
      const GroupKind kind = GroupKindOfProperties(bytes_.data(), n, header.recInstance);
      if (kind != GroupKind::kPlain && collector_ == SIZE_MAX) {
        groups_[shape.group].kind = kind;
        collector_ = shape.group;
      }
    } else if (header.recType == officeart::kChildAnchor || header.recType == officeart::kClientAnchor) {
      const size_t n = ReadAtomData(header.recLen, 16);
      if (!shape.placed) shape.placed = ShapePlaceOfAnchor(header.recType, bytes_.data(), n, shape.place);
    } else if (header.recType == kSlideNumberMetaCharAtom) {
      shape.numberField = true;
      Skip(header.recLen);
    } else if (header.recType == kPlaceholderAtom) {
      if (ReadAtomData(header.recLen, 5) >= 5) shape.placeholder = bytes_[4];
    } else if (header.recType == ppt::kTextHeaderAtom) {
      AddPiece(shape, ReadWord(header, 0));
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
    if (header.recType == ppt::kTextBytesAtom) {
      wide_.resize(n);
      for (size_t i = 0; i < n; ++i) wide_[i] = Cp1252ToWide(bytes_[i]);
    } else {
      for (size_t i = 0; i + 1 < n; i += 2) wide_.push_back(static_cast<char16_t>(bytes_[i] | (bytes_[i + 1] << 8)));
    }
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
    if (isBytes) {
      for (size_t i = 0; i < size; ++i) listWide_.push_back(Cp1252ToWide(data[i]));
    } else {
      for (size_t i = 0; i + 1 < size; i += 2) listWide_.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    }
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

  // Reads up to `keep` bytes of atom data (no more than the stream still holds) into bytes_
  // and moves past the whole length; returns the bytes read.
  size_t ReadAtomData(uint32_t length, uint32_t keep) {
    ReadAtomBytes(*stream_, document_.documentSize, length, keep, bytes_);
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
    budget_.model.TakeItem(0);
    shape.pieces.push_back({type, {}});
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
    if (collector_ != SIZE_MAX) {
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
      std::string text = WideToUtf8(piece.text);
      budget_.model.Give(2 * piece.text.size());
      budget_.model.Take(text.size());
      std::u16string().swap(piece.text);
      to->push_back({shape.placeholder, piece.type, std::move(text)});
    }
    shape.pieces.clear();
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
    for (const PagePiece& piece : page.pieces) bytes += ModelBudget::kItemBytes + piece.text.size();
    for (const std::string& text : page.diagramPieces) bytes += ModelBudget::kItemBytes + text.size();
    return bytes;
  }

  // Slides in list order, each with the notes page tied to it; notes pages of no slide are
  // text on no slide. A slide's page is given up once its slide is made.
  static void Assemble(std::vector<Page>& slides, const std::vector<Page>& notes, SlideDeck& deck,
                       ModelBudget& budget) {
    std::unordered_map<uint32_t, size_t> slideById;
    for (size_t i = 0; i < slides.size(); ++i) {
      if (slides[i].slideId != 0) slideById.emplace(slides[i].slideId, i);
    }
    std::unordered_map<uint32_t, size_t> notesById;
    for (size_t i = 0; i < notes.size(); ++i) {
      if (notes[i].slideId != 0) notesById.emplace(notes[i].slideId, i);
    }
    // The notes page of each slide: the one naming the slide, else the one the slide names.
    std::vector<const Page*> notesOf(slides.size(), nullptr);
    for (const Page& page : notes) {
      const auto it = slideById.find(page.slideIdRef);
      if (page.slideIdRef != 0 && it != slideById.end() && notesOf[it->second] == nullptr) {
        notesOf[it->second] = &page;
      }
    }
    for (size_t i = 0; i < slides.size(); ++i) {
      const auto it = notesById.find(slides[i].notesIdRef);
      if (notesOf[i] == nullptr && slides[i].notesIdRef != 0 && it != notesById.end()) {
        notesOf[i] = &notes[it->second];
      }
    }
    for (size_t i = 0; i < slides.size(); ++i) {
      budget.TakeSlide();
      Slide slide;
      slide.number = static_cast<int>(i) + 1;
      slide.hidden = slides[i].hidden;
      bool titleDone = false;
      std::vector<size_t> pieceStarts;  // the first paragraph of each piece, and the end
      for (const PagePiece& piece : slides[i].pieces) {
        const size_t first = slide.paragraphs.size();
        pieceStarts.push_back(first);
        AppendParagraphs(piece.text, slide.paragraphs, budget);
        if (IsFooterPlaceholder(piece.placeholder)) AppendParagraphs(piece.text, slide.footers, budget);
        const bool isTitle = piece.type == kTextTitle || piece.type == kTextCenterTitle;
        if (isTitle && !titleDone && slide.paragraphs.size() > first) {
          titleDone = true;
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
      for (const PieceTable& table : slides[i].tables) {
        slide.tables.push_back(MakeTable(table, pieceStarts, slide.paragraphs, budget));
      }
      for (const std::string& text : slides[i].diagramPieces) AppendParagraphs(text, slide.diagrams, budget);
      if (const Page* page = notesOf[i]) AppendNotesPage(*page, slide.notes, slide.notesFooters, budget);
      slide.comments = std::move(slides[i].comments);
      deck.slides.push_back(std::move(slide));
      budget.Give(HeldBy(slides[i]));
      slides[i] = Page();
    }
    std::vector<bool> tied(notes.size(), false);
    for (const Page* page : notesOf) {
      if (page != nullptr) tied[static_cast<size_t>(page - notes.data())] = true;
    }
    for (size_t i = 0; i < notes.size(); ++i) {
      if (tied[i]) continue;
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
  std::vector<EntryOfPersistId> byPersistId_;  // sorted by persist id, then entry
  std::vector<uint8_t> bytes_;
  std::vector<uint8_t> listBytes_;
  std::u16string wide_;
  std::u16string listWide_;
  // The page being walked, for the model.
  std::vector<Shape> shapes_;
  std::vector<size_t> openShapes_;
  std::vector<ShapeGroup> groups_;
  size_t collector_ = SIZE_MAX;  // the open table or diagram group that takes the text within
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
