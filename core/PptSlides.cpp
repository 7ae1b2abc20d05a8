#include "core/PptSlides.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/Cp1252.h"
#include "core/KelPptCvt.h"
#include "core/PptImage.h"
#include "core/PptOpening.h"
#include "core/PptReader.h"
#include "core/PptRecords.h"
#include "core/PptShapeGroups.h"
#include "core/Utf.h"

namespace dkscr {
namespace {

// Record types read only here.
constexpr uint16_t kSlideAtom = 0x03EF;
constexpr uint16_t kNotesAtom = 0x03F1;
constexpr uint16_t kSlideShowSlideInfoAtom = 0x03F9;
constexpr uint16_t kPlaceholderAtom = 0x0BC3;
constexpr uint16_t kCString = 0x0FBA;
constexpr uint16_t kComment10 = 0x2EE0;

// TextHeaderAtom text types.
constexpr uint32_t kTextTitle = 0;
constexpr uint32_t kTextNotes = 2;
constexpr uint32_t kTextOther = 4;
constexpr uint32_t kTextCenterTitle = 6;
// The placeholder of a notes page's body.
constexpr uint8_t kPlaceholderNotesBody = 0x0C;

// One text of a shape (or of the slide list): its text type and characters.
struct TextPiece {
  uint32_t type = kTextOther;
  std::u16string text;
};

// An entry of a slide list: a slide or notes page and the placeholder texts stored with it.
struct ListEntry {
  uint32_t persistId = 0;
  uint32_t slideId = 0;
  std::vector<TextPiece> texts;
};

// A text with the placeholder of its shape (-1: none).
using PlacedPiece = std::pair<int, TextPiece>;

// A table among a page's pieces: its cells' pieces are [firstPiece, endPiece), in rows, each
// cell a range of pieces (empty where a merged cell covers the position).
struct PieceTable {
  size_t firstPiece = 0;
  size_t endPiece = 0;
  std::vector<std::vector<std::pair<size_t, size_t>>> rows;
};

// What one slide or notes container holds.
struct Page {
  bool isNotes = false;
  bool hidden = false;
  uint32_t notesIdRef = 0;  // a slide's notes page, by slide id
  uint32_t slideIdRef = 0;  // a notes page's slide, by slide id
  uint32_t slideId = 0;     // from the slide list
  std::vector<PlacedPiece> pieces;
  std::vector<PieceTable> tables;
  std::vector<TextPiece> diagramPieces;
  std::vector<SlideComment> comments;
};

// A shape of a page's drawing while it is read.
struct Shape {
  int placeholder = -1;
  std::vector<TextPiece> pieces;
  uint16_t type = 0;         // the shape type
  bool placed = false;       // whether `place` was read from an anchor
  ShapePlace place;
  size_t group = SIZE_MAX;   // the group this shape lies directly in
  bool isGroupShape = false; // the group's own shape, which carries its properties
};

// A group of shapes; a table or diagram keeps the text of the shapes within it until it ends.
struct ShapeGroup {
  GroupKind kind = GroupKind::kPlain;
  bool ownShapeSeen = false;
  std::vector<ShapePlace> cellPlaces;          // a table's cells, as met
  std::vector<std::vector<PlacedPiece>> cells;
  std::vector<PlacedPiece> loose;              // text of other shapes within the group
};

[[noreturn]] void Fail() { throw PptFormatError(); }

// Paragraphs of a text: split at the paragraph mark (CR), a line break (vertical tab) as "\n",
// empty paragraphs left out.
void AppendParagraphs(std::u16string_view text, std::vector<std::string>& out) {
  size_t at = 0;
  while (at <= text.size()) {
    size_t end = text.find(u'\r', at);
    if (end == std::u16string_view::npos) end = text.size();
    std::u16string paragraph(text.substr(at, end - at));
    std::replace(paragraph.begin(), paragraph.end(), u'\v', u'\n');
    if (!paragraph.empty()) out.push_back(WideToUtf8(paragraph));
    at = end + 1;
  }
}

class PptSlideReader {
 public:
  ResultCode Read(std::unique_ptr<TDocFileStorage> storage, SlideDeck& deck) {
    switch (OpenPptDocument(std::move(storage), document_)) {
      case PptOpening::kEncrypted: return kResultEncrypted;
      case PptOpening::kNoText: return 0;
      case PptOpening::kReady: break;
    }
    stream_ = document_.documentStream.get();
    const uint32_t documentOffset = document_.directory.LookupPersistOffset(document_.docPersistIdRef);
    if (documentOffset == kNoPersistOffset) return 0;
    recordsLeft_ = 16 * (document_.documentSize / 8) + 4096;
    charsLeft_ = 16 * document_.documentSize + (1u << 20);
    stream_->Seek64(documentOffset, kSeekFromStart);
    CollectSlideLists();

    std::vector<Page> slides;
    std::vector<Page> notes;
    std::unordered_set<uint32_t> visited;
    for (const ListEntry& entry : entries_) {
      if (!visited.insert(entry.persistId).second) continue;  // listed twice, shown once
      const uint32_t offset = document_.directory.LookupPersistOffset(entry.persistId);
      if (offset == kNoPersistOffset) continue;
      Page page;
      page.slideId = entry.slideId;
      if (!ReadPage(offset, entry, page)) continue;
      (page.isNotes ? notes : slides).push_back(std::move(page));
    }
    Assemble(slides, notes, deck);
    return 0;
  }

 private:
  // Reads up to `length` bytes of atom data and moves past all of it.
  const std::vector<uint8_t>& ReadData(uint32_t length, uint32_t keep) {
    ReadAtomBytes(*stream_, document_.documentSize, length, keep, bytes_);
    return bytes_;
  }

  void Skip(uint32_t length) {
    if (length > 0) stream_->Seek64(length, kSeekFromCurrent);
  }

  std::u16string ReadText(const RecordHeader& header) {
    const std::vector<uint8_t>& data = ReadData(header.recLen, header.recLen);
    std::u16string text;
    if (header.recType == ppt::kTextBytesAtom) {
      for (uint8_t byte : data) text.push_back(Cp1252ToWide(byte));
    } else {
      for (size_t i = 0; i + 1 < data.size(); i += 2) {
        text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
      }
    }
    if (text.size() > charsLeft_) Fail();
    charsLeft_ -= text.size();
    return text;
  }

  uint32_t ReadWord(const RecordHeader& header, size_t at) {
    const std::vector<uint8_t>& data = ReadData(header.recLen, static_cast<uint32_t>(at + 4));
    return data.size() >= at + 4 ? LoadLe32(data.data() + at) : 0;
  }

  // The slide and notes lists of the document record, in order; the master list is passed over.
  void CollectSlideLists() {
    struct Frame {
      uint32_t recLen;
      uint64_t sum;
      bool skip;
    };
    std::vector<Frame> frames;
    for (;;) {
      if (recordsLeft_ == 0) Fail();
      --recordsLeft_;
      RecordHeader header;
      if (ReadRecordHeader(*stream_, header) != 8) return;
      const bool skip = !frames.empty() && frames.back().skip;
      uint64_t size = 8;
      if (header.IsContainer()) {
        if (header.recLen != 0) {
          frames.push_back({header.recLen, 0,
                            skip || (header.recType == ppt::kSlideListWithText &&
                                     header.recInstance == ppt::kMasterListInstance)});
          continue;
        }
      } else {
        size += header.recLen;
        if (skip) {
          Skip(header.recLen);
        } else if (header.recType == ppt::kSlidePersistAtom && header.recLen >= 16) {
          const std::vector<uint8_t>& data = ReadData(header.recLen, 16);
          if (data.size() >= 16) entries_.push_back({LoadLe32(data.data()), LoadLe32(data.data() + 12), {}});
        } else if (header.recType == ppt::kTextHeaderAtom && !entries_.empty()) {
          entries_.back().texts.push_back({ReadWord(header, 0), {}});
        } else if ((header.recType == ppt::kTextCharsAtom || header.recType == ppt::kTextBytesAtom) &&
                   !entries_.empty()) {
          if (entries_.back().texts.empty()) entries_.back().texts.emplace_back();
          entries_.back().texts.back().text += ReadText(header);
        } else {
          Skip(header.recLen);
        }
      }
      for (;;) {
        if (frames.empty()) return;
        frames.back().sum += size;
        if (frames.back().sum < frames.back().recLen) break;
        size = 8 + frames.back().sum;
        frames.pop_back();
      }
    }
  }

  // Walks one slide or notes container with a stack of its own; false when it is neither.
  bool ReadPage(uint32_t offset, const ListEntry& entry, Page& page) {
    stream_->Seek64(offset, kSeekFromStart);
    RecordHeader top;
    if (ReadRecordHeader(*stream_, top) != 8) return false;
    if (top.recType != ppt::kSlide && top.recType != ppt::kNotes) return false;
    page.isNotes = top.recType == ppt::kNotes;
    struct Frame {
      uint16_t type;
      uint32_t recLen;
      uint64_t consumed;
      size_t shape;  // the shape this frame opened, or SIZE_MAX
      size_t group;  // the group this frame opened, or SIZE_MAX
    };
    std::vector<Frame> frames{{top.recType, top.recLen, 0, SIZE_MAX, SIZE_MAX}};
    std::vector<Shape> shapes{Shape{}};  // shapes[0] holds text outside any shape
    std::vector<size_t> openShapes{0};
    std::vector<ShapeGroup> groups;
    size_t collector = SIZE_MAX;  // the open table or diagram group that takes the text within
    SlideComment comment;
    auto flushShape = [&](size_t index) {
      Shape& shape = shapes[index];
      if (collector == SIZE_MAX) {
        for (TextPiece& piece : shape.pieces) page.pieces.emplace_back(shape.placeholder, std::move(piece));
      } else {
        ShapeGroup& group = groups[collector];
        // A table's cells are its own rectangles; its borders are lines.
        if (group.kind == GroupKind::kTable && shape.group == collector && !shape.isGroupShape && shape.placed &&
            shape.type != officeart::kLineShapeType) {
          group.cellPlaces.push_back(shape.place);
          group.cells.emplace_back();
          for (TextPiece& piece : shape.pieces) group.cells.back().emplace_back(shape.placeholder, std::move(piece));
        } else {
          for (TextPiece& piece : shape.pieces) group.loose.emplace_back(shape.placeholder, std::move(piece));
        }
      }
      shape.pieces.clear();
    };
    // Completed containers close; `intact` is false for what a damaged page left open.
    auto closeFrame = [&](const Frame& done, bool intact) {
      if (done.shape != SIZE_MAX) {
        flushShape(done.shape);
        openShapes.pop_back();
      }
      if (done.group != SIZE_MAX && done.group == collector) {
        collector = SIZE_MAX;
        EmitGroup(groups[done.group], page);
      }
      if (done.type == kComment10 && intact) page.comments.push_back(comment);
    };
    while (!frames.empty()) {
      if (recordsLeft_ == 0) Fail();
      --recordsLeft_;
      RecordHeader header;
      if (ReadRecordHeader(*stream_, header) != 8) break;
      const uint64_t size = 8ull + header.recLen;
      frames.back().consumed += size;
      Shape& shape = shapes[openShapes.back()];
      if (header.IsContainer()) {
        Frame frame{header.recType, header.recLen, 0, SIZE_MAX, SIZE_MAX};
        if (header.recType == officeart::kSpContainer) {
          Shape opened;
          // A shape directly in a group: the group's own shape first, then its members.
          if (frames.back().group != SIZE_MAX) {
            opened.group = frames.back().group;
            opened.isGroupShape = !groups[opened.group].ownShapeSeen;
            groups[opened.group].ownShapeSeen = true;
          }
          frame.shape = shapes.size();
          openShapes.push_back(shapes.size());
          shapes.push_back(std::move(opened));
        } else if (header.recType == officeart::kSpgrContainer) {
          frame.group = groups.size();
          groups.emplace_back();
        } else if (header.recType == kComment10) {
          comment = {};
        }
        frames.push_back(frame);
      } else if (frames.size() == 1 && header.recType == kSlideAtom) {
        page.notesIdRef = ReadWord(header, 16);
      } else if (frames.size() == 1 && header.recType == kNotesAtom) {
        page.slideIdRef = ReadWord(header, 0);
      } else if (frames.size() == 1 && header.recType == kSlideShowSlideInfoAtom) {
        const std::vector<uint8_t>& data = ReadData(header.recLen, 11);
        page.hidden = data.size() >= 11 && (data[10] & 0x04) != 0;
      } else if (header.recType == officeart::kFsp) {
        shape.type = header.recInstance;
        Skip(header.recLen);
      } else if ((header.recType == officeart::kFopt || header.recType == officeart::kTertiaryFopt) &&
                 shape.isGroupShape && !page.isNotes) {
        // Only the outermost table or diagram is one; what lies within it is its text.
        const uint32_t keep = static_cast<uint32_t>(std::min<uint64_t>(header.recLen, 6ull * header.recInstance));
        const std::vector<uint8_t>& data = ReadData(header.recLen, keep);
        const GroupKind kind = GroupKindOfProperties(data.data(), data.size(), header.recInstance);
        if (kind != GroupKind::kPlain && collector == SIZE_MAX) {
          groups[shape.group].kind = kind;
          collector = shape.group;
        }
      } else if (header.recType == officeart::kChildAnchor || header.recType == officeart::kClientAnchor) {
        const std::vector<uint8_t>& data = ReadData(header.recLen, 16);
        if (!shape.placed) shape.placed = ShapePlaceOfAnchor(header.recType, data.data(), data.size(), shape.place);
      } else if (header.recType == kPlaceholderAtom) {
        const std::vector<uint8_t>& data = ReadData(header.recLen, 5);
        if (data.size() >= 5) shape.placeholder = data[4];
      } else if (header.recType == ppt::kTextHeaderAtom) {
        shape.pieces.push_back({ReadWord(header, 0), {}});
      } else if (header.recType == ppt::kTextCharsAtom || header.recType == ppt::kTextBytesAtom) {
        if (shape.pieces.empty()) shape.pieces.emplace_back();
        shape.pieces.back().text += ReadText(header);
      } else if (header.recType == ppt::kOutlineTextRefAtom) {
        const auto index = static_cast<int32_t>(ReadWord(header, 0));
        if (index >= 0 && static_cast<size_t>(index) < entry.texts.size()) {
          const TextPiece& piece = entry.texts[static_cast<size_t>(index)];
          if (piece.text.size() > charsLeft_) Fail();
          charsLeft_ -= piece.text.size();
          shape.pieces.push_back(piece);
        }
      } else if (header.recType == kCString && frames.back().type == kComment10) {
        const std::string text = WideToUtf8(ReadText({0, 0, ppt::kTextCharsAtom, header.recLen}));
        if (header.recInstance == 0) comment.author = text;
        if (header.recInstance == 1) comment.text = text;
      } else {
        Skip(header.recLen);
      }
      // Completed containers close; a record running past its container ends the page.
      bool broken = false;
      while (!frames.empty() && frames.back().consumed >= frames.back().recLen) {
        broken = frames.back().consumed > frames.back().recLen;
        const Frame done = frames.back();
        frames.pop_back();
        closeFrame(done, !broken);
        if (broken) break;
      }
      if (broken) break;
    }
    // What a damaged page left open still counts.
    while (!frames.empty()) {
      const Frame done = frames.back();
      frames.pop_back();
      closeFrame(done, false);
    }
    flushShape(0);
    return true;
  }

  // A table's cells go to the page in rows, each row left to right, with what else the group
  // holds after them; a diagram's text goes to the diagrams.
  static void EmitGroup(ShapeGroup& group, Page& page) {
    if (group.kind == GroupKind::kDiagram) {
      for (auto& cell : group.cells) {
        for (PlacedPiece& piece : cell) page.diagramPieces.push_back(std::move(piece.second));
      }
      for (PlacedPiece& piece : group.loose) page.diagramPieces.push_back(std::move(piece.second));
      return;
    }
    PieceTable table;
    table.firstPiece = page.pieces.size();
    for (const auto& row : LayOutTableCells(group.cellPlaces)) {
      table.rows.emplace_back();
      for (const std::vector<size_t>& position : row) {
        const size_t first = page.pieces.size();
        for (const size_t cell : position) {
          for (PlacedPiece& piece : group.cells[cell]) page.pieces.push_back(std::move(piece));
        }
        table.rows.back().emplace_back(first, page.pieces.size());
      }
    }
    table.endPiece = page.pieces.size();
    page.tables.push_back(std::move(table));
    for (PlacedPiece& piece : group.loose) page.pieces.push_back(std::move(piece));
  }

  // A table of the model: a cell's text is its paragraphs joined by line breaks.
  static SlideTable MakeTable(const PieceTable& pieces, const std::vector<size_t>& pieceStarts,
                              const std::vector<std::string>& paragraphs) {
    SlideTable table;
    table.firstParagraph = pieceStarts[pieces.firstPiece];
    table.endParagraph = pieceStarts[pieces.endPiece];
    for (const auto& row : pieces.rows) {
      table.rows.emplace_back();
      for (const auto& [first, end] : row) {
        std::string cell;
        for (size_t p = pieceStarts[first]; p < pieceStarts[end]; ++p) {
          if (!cell.empty()) cell.push_back('\n');
          cell += paragraphs[p];
        }
        table.rows.back().push_back(std::move(cell));
      }
    }
    return table;
  }

  // Slides in list order, each with the notes page tied to it.
  static void Assemble(std::vector<Page>& slides, const std::vector<Page>& notes, SlideDeck& deck) {
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
      Slide slide;
      slide.number = static_cast<int>(i) + 1;
      slide.hidden = slides[i].hidden;
      bool titleDone = false;
      std::vector<size_t> pieceStarts;  // the first paragraph of each piece, and the end
      for (const auto& [placeholder, piece] : slides[i].pieces) {
        const size_t first = slide.paragraphs.size();
        pieceStarts.push_back(first);
        AppendParagraphs(piece.text, slide.paragraphs);
        const bool isTitle = piece.type == kTextTitle || piece.type == kTextCenterTitle;
        if (isTitle && !titleDone && slide.paragraphs.size() > first) {
          titleDone = true;
          slide.titleBegin = first;
          slide.titleEnd = slide.paragraphs.size();
          for (size_t p = first; p < slide.paragraphs.size(); ++p) {
            if (p > first) slide.title.push_back('\n');
            slide.title += slide.paragraphs[p];
          }
        }
      }
      pieceStarts.push_back(slide.paragraphs.size());
      for (const PieceTable& table : slides[i].tables) slide.tables.push_back(MakeTable(table, pieceStarts, slide.paragraphs));
      for (const TextPiece& piece : slides[i].diagramPieces) AppendParagraphs(piece.text, slide.diagrams);
      if (const Page* page = notesOf[i]) {
        for (const auto& [placeholder, piece] : page->pieces) {
          // Slide image, slide number, date, header and footer are no notes.
          if (piece.type == kTextNotes || placeholder == kPlaceholderNotesBody) {
            AppendParagraphs(piece.text, slide.notes);
          }
        }
      }
      slide.comments = std::move(slides[i].comments);
      deck.slides.push_back(std::move(slide));
    }
  }

  PptOpenDocument document_;
  TDocFileStream* stream_ = nullptr;
  std::vector<ListEntry> entries_;
  std::vector<uint8_t> bytes_;
  uint64_t recordsLeft_ = 0;
  uint64_t charsLeft_ = 0;
};

ResultCode ReadOpenedSlides(std::unique_ptr<TDocFileStorage> storage, SlideDeck& deck) {
  if (!storage || !storage->LastError.empty()) return kResultSourceOpenError;
  return ReadPptSlides(std::move(storage), deck);
}

ResultCode CheckResultToCode(int32_t check) {
  return check == kResultSourceMissing ? kResultSourceMissing : kResultFormatError;
}

}  // namespace

ResultCode ReadPptSlides(std::unique_ptr<TDocFileStorage> storage, SlideDeck& deck) {
  try {
    return PptSlideReader().Read(std::move(storage), deck);
  } catch (...) {  // damage the reader cannot go past, or memory running out
    return CaughtFailureCode();
  }
}

ResultCode ReadPptFileSlides(const std::u16string& source, SlideDeck& deck) {
  try {
    const int32_t check = CheckDocFile(source);
    if (check != 0) return CheckResultToCode(check);
    return ReadOpenedSlides(OpenDocFile(source, kStgmReadShareExclusive), deck);
  } catch (...) {
    return CaughtFailureCode();
  }
}

ResultCode ReadPptImageSlides(std::string_view image, SlideDeck& deck) {
  try {
    const int32_t check = CheckDocImage(image);
    if (check != 0) return CheckResultToCode(check);
    return ReadOpenedSlides(OpenDocImage(image, kStgmReadShareExclusive), deck);
  } catch (...) {
    return CaughtFailureCode();
  }
}

ResultCode ConvertPptSlides(const std::u16string& source, SlideMode mode, int32_t codePage,
                            OutputBuffer& output) {
  return ConvertInMode(mode, codePage, output, [&] { return ConvertPpt(source, output, codePage); },
                       [&](SlideDeck& deck) { return ReadPptFileSlides(source, deck); });
}

ResultCode ConvertPptImageSlides(std::string_view image, SlideMode mode, int32_t codePage,
                                 OutputBuffer& output) {
  return ConvertInMode(mode, codePage, output, [&] { return ConvertPptImage(image, output, codePage); },
                       [&](SlideDeck& deck) { return ReadPptImageSlides(image, deck); });
}

}  // namespace dkscr
