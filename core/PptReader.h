#pragma once
// The reader behind ConvertPpt. One object holds everything a conversion needs, so any
// number of conversions may run side by side.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/DocFile.h"
#include "core/PptOpening.h"
#include "core/PptRecords.h"
#include "core/ResultCodes.h"
#include "core/TextEncoder.h"

namespace dkscr {

class TPptReader {
 public:
  // Hands the slides' and then the notes pages' text of an opened presentation to `text`,
  // piece by piece. Returns a negative result code, or 0 (also for a compound document that
  // is no readable presentation, which gives no text). Damage the reader cannot go past
  // raises PptFormatError; the caller reports it as -5.
  ResultCode Extract(std::unique_ptr<TDocFileStorage> storage, TextEncoder& text);

 private:
  // The text of the slide list: its first bytes are kept as read; beyond them, each atom is
  // where it lies in the stream, read again when a slide refers to it, so that a large list
  // costs a few bytes per atom, not its text.
  struct TextAtomPlace {
    uint64_t offset;  // of the atom's data in listText_ when kept, else in the stream
    uint32_t bytes;   // of it that the stream holds
    bool isBytes;     // a TextBytesAtom (one byte a character), else a TextCharsAtom
    bool kept;
  };
  struct SlideTextEntry {
    uint32_t persistId = 0;
    size_t firstLine = 0;  // lines [firstLine, next entry's firstLine) of lineStarts_
  };
  struct EntryOfPersistId {
    uint32_t persistId;
    uint32_t entry;
  };
  struct ContainerFrame {
    RecordHeader header;
    uint64_t consumed = 0;
  };

  void CollectSlideList();
  void CollectAtom(const RecordHeader& header, bool skip);
  void AddPersistRef(uint32_t persistId);
  bool NextPersistObject(uint32_t& offset);
  void VisitObject(uint32_t offset);
  void ReadObjectText();
  void EmitAtom(const RecordHeader& header);

  // Reads up to length bytes of atom data (no more than the stream still holds) into
  // byteBuffer_ and moves past the whole length; returns the bytes read.
  size_t ReadAtomData(uint32_t length, uint32_t keep);
  void Skip(uint32_t length);
  void Emit(std::u16string_view text);
  void EmitListLine(size_t line);
  void EmitAtomText(const uint8_t* data, size_t size, bool isBytes);
  size_t LineCount(size_t entry) const;

  PptOpenDocument document_;
  std::unique_ptr<TDocFileStream> listStream_;  // reads the slide list's text again
  TextEncoder* text_ = nullptr;
  uint64_t unitsEmitted_ = 0;
  std::vector<SlideTextEntry> slideTextEntries_;
  std::vector<size_t> lineStarts_;  // each line's first atom in textAtoms_
  std::vector<TextAtomPlace> textAtoms_;
  std::vector<uint8_t> listText_;
  std::vector<EntryOfPersistId> entriesByPersistId_;  // sorted by persist id, then entry
  std::vector<uint32_t> referenceList_;
  size_t visitPosition_ = 0;
  uint32_t currentPersistId_ = 0;
  std::vector<ContainerFrame> containerStack_;
  std::vector<uint8_t> byteBuffer_;
  std::u16string wideBuffer_;
  // Walking the same object many times over (a hostile file can list it thousands of times)
  // stops at these bounds, far above what any real file needs.
  uint64_t recordsLeft_ = 0;
  uint64_t outputLimit_ = 0;
};

struct PptFormatError {};

}  // namespace dkscr
