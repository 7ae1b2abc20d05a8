#pragma once
// The reader behind ConvertPpt. One object holds everything a conversion needs, so any
// number of conversions may run side by side.
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/DocFile.h"
#include "core/PptOpening.h"
#include "core/PptRecords.h"
#include "core/ResultCodes.h"

namespace dkscr {

class TPptReader {
 public:
  // Reads the slides' and then the notes pages' text of an opened presentation. Returns a
  // negative result code, or the byte length of the UTF-16 text placed in text (0 for a
  // compound document that is no readable presentation). Damage the reader cannot go past
  // raises PptFormatError; the caller reports it as -5.
  ResultCode Extract(std::unique_ptr<TDocFileStorage> storage, std::u16string& text);

 private:
  struct SlideTextEntry {
    uint32_t persistId = 0;
    std::vector<std::u16string> lines;
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

  PptOpenDocument document_;
  std::vector<SlideTextEntry> slideTextEntries_;
  std::unordered_map<uint32_t, std::vector<size_t>> entriesByPersistId_;
  std::vector<uint32_t> referenceList_;
  size_t visitPosition_ = 0;
  uint32_t currentPersistId_ = 0;
  std::vector<ContainerFrame> containerStack_;
  std::vector<uint8_t> byteBuffer_;
  std::u16string wideBuffer_;
  std::u16string output_;
  // Walking the same object many times over (a hostile file can list it thousands of times)
  // stops at these bounds, far above what any real file needs.
  uint64_t recordsLeft_ = 0;
  uint64_t outputLimit_ = 0;
};

struct PptFormatError {};

}  // namespace dkscr
