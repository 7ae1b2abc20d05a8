#include "core/PptReader.h"

#include <algorithm>
#include <climits>

#include "core/Cp1252.h"

namespace dkscr {
namespace {

constexpr char16_t kCr = u'\r';

[[noreturn]] void Fail() { throw PptFormatError(); }

}  // namespace

ResultCode TPptReader::Extract(std::unique_ptr<TDocFileStorage> storage, std::u16string& text) {
  switch (OpenPptDocument(std::move(storage), document_)) {
    case PptOpening::kEncrypted: return kResultEncrypted;
    case PptOpening::kNoText: text.clear(); return 0;
    case PptOpening::kReady: break;
  }
  const uint32_t documentOffset = document_.directory.LookupPersistOffset(document_.docPersistIdRef);
  if (documentOffset == kNoPersistOffset) {  // no document record: nothing can be found
    text.clear();
    return 0;
  }
  document_.documentStream->Seek64(documentOffset, kSeekFromStart);
  CollectSlideList();
  for (size_t i = 0; i < slideTextEntries_.size(); ++i) entriesByPersistId_[slideTextEntries_[i].persistId].push_back(i);

  recordsLeft_ = 16 * (document_.documentSize / 8) + 4096;
  outputLimit_ = 16 * document_.documentSize + (1u << 20);
  output_.clear();
  uint32_t offset = 0;
  while (NextPersistObject(offset)) {
    if (offset != kNoPersistOffset) VisitObject(offset);  // an unresolved id gives no text
  }
  if (output_.size() > static_cast<size_t>(INT32_MAX / 2)) Fail();
  text = std::move(output_);
  return static_cast<ResultCode>(text.size() * 2);
}

// Walks the document record depth-first with a stack of its own, however deep the nesting.
void TPptReader::CollectSlideList() {
  struct Frame {
    uint32_t recLen;
    uint64_t sum;
    bool skipChildren;
  };
  std::vector<Frame> frames;
  for (;;) {
    const bool skip = !frames.empty() && frames.back().skipChildren;
    RecordHeader header;
    if (ReadRecordHeader(*document_.documentStream, header) != 8) return;  // the stream ended inside
    uint64_t size = 8;
    if (header.IsContainer()) {
      if (header.recLen != 0) {
        frames.push_back({header.recLen, 0,
                          header.recType == ppt::kSlideListWithText && header.recInstance == ppt::kMasterListInstance});
        continue;
      }
    } else {
      CollectAtom(header, skip);
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

void TPptReader::CollectAtom(const RecordHeader& header, bool skip) {
  if (skip) {
    Skip(header.recLen);
    return;
  }
  switch (header.recType) {
    case ppt::kSlidePersistAtom:
      if (header.recLen != ppt::kSlidePersistLength) break;  // passed over like any other atom
      if (ReadAtomData(header.recLen, header.recLen) >= 4) {
        const uint32_t persistId = LoadLe32(byteBuffer_.data());
        AddPersistRef(persistId);
        slideTextEntries_.push_back({persistId, {}});
      }
      return;
    case ppt::kTextHeaderAtom:
      if (slideTextEntries_.empty()) Fail();
      slideTextEntries_.back().lines.emplace_back();
      break;
    case ppt::kTextCharsAtom:
    case ppt::kTextBytesAtom: {
      if (slideTextEntries_.empty() || slideTextEntries_.back().lines.empty()) Fail();
      const size_t n = ReadAtomData(header.recLen, header.recLen);
      std::u16string& line = slideTextEntries_.back().lines.back();
      if (header.recType == ppt::kTextCharsAtom) {
        for (size_t i = 0; i + 1 < n; i += 2) line.push_back(static_cast<char16_t>(byteBuffer_[i] | (byteBuffer_[i + 1] << 8)));
      } else {
        for (size_t i = 0; i < n; ++i) line.push_back(Cp1252ToWide(byteBuffer_[i]));
      }
      return;
    }
    default: break;
  }
  Skip(header.recLen);
}

void TPptReader::AddPersistRef(uint32_t persistId) { referenceList_.push_back(persistId); }

bool TPptReader::NextPersistObject(uint32_t& offset) {
  // First the document record itself, then every referenced object in the order met.
  if (visitPosition_ == 0) {
    offset = document_.directory.LookupPersistOffset(document_.docPersistIdRef);
  } else {
    if (visitPosition_ > referenceList_.size()) return false;
    currentPersistId_ = referenceList_[visitPosition_ - 1];
    offset = document_.directory.LookupPersistOffset(currentPersistId_);
  }
  ++visitPosition_;
  return true;
}

void TPptReader::VisitObject(uint32_t offset) {
  document_.documentStream->Seek64(offset, kSeekFromStart);
  ContainerFrame frame;
  if (ReadRecordHeader(*document_.documentStream, frame.header) != 8) return;
  if (frame.header.recType != ppt::kSlide && frame.header.recType != ppt::kNotes) return;
  if (frame.header.recLen == 0) Fail();
  containerStack_.push_back(frame);
  ReadObjectText();
}

void TPptReader::ReadObjectText() {
  while (!containerStack_.empty()) {
    if (recordsLeft_ == 0) Fail();
    --recordsLeft_;
    RecordHeader header;
    if (ReadRecordHeader(*document_.documentStream, header) != 8) {  // the stream ended inside
      containerStack_.clear();
      return;
    }
    const uint64_t size = 8ull + header.recLen;
    if (header.IsContainer()) {
      containerStack_.back().consumed += size;
      containerStack_.push_back({header, 0});
    } else {
      EmitAtom(header);
      containerStack_.back().consumed += size;
    }
    while (!containerStack_.empty() && containerStack_.back().consumed >= containerStack_.back().header.recLen) {
      if (containerStack_.back().consumed > containerStack_.back().header.recLen) {
        containerStack_.clear();  // a record runs past its container: this object ends here
        return;
      }
      containerStack_.pop_back();
    }
  }
}

void TPptReader::EmitAtom(const RecordHeader& header) {
  switch (header.recType) {
    case ppt::kTextCharsAtom: {
      const size_t n = ReadAtomData(header.recLen, header.recLen);
      wideBuffer_.clear();
      for (size_t i = 0; i + 1 < n; i += 2) wideBuffer_.push_back(static_cast<char16_t>(byteBuffer_[i] | (byteBuffer_[i + 1] << 8)));
      wideBuffer_.push_back(kCr);
      Emit(wideBuffer_);
      return;
    }
    case ppt::kTextBytesAtom: {
      const size_t n = ReadAtomData(header.recLen, header.recLen);
      wideBuffer_.resize(n + 1);
      for (size_t i = 0; i < n; ++i) wideBuffer_[i] = Cp1252ToWide(byteBuffer_[i]);
      wideBuffer_[n] = kCr;
      Emit(wideBuffer_);
      return;
    }
    case ppt::kOutlineTextRefAtom: {
      if (header.recLen < 4 || ReadAtomData(header.recLen, 4) < 4) return;  // no index: no text
      const auto index = static_cast<int32_t>(LoadLe32(byteBuffer_.data()));
      if (index < 0) Fail();
      const auto it = entriesByPersistId_.find(currentPersistId_);
      if (it == entriesByPersistId_.end()) return;
      for (size_t e : it->second) {
        const std::vector<std::u16string>& lines = slideTextEntries_[e].lines;
        if (lines.size() <= static_cast<size_t>(index)) continue;
        Emit(lines[static_cast<size_t>(index)]);
        Emit(std::u16string_view(&kCr, 1));
      }
      return;
    }
    default: Skip(header.recLen);
  }
}

size_t TPptReader::ReadAtomData(uint32_t length, uint32_t keep) {
  const int64_t position = document_.documentStream->Seek64(0, kSeekFromCurrent);
  const uint64_t left = position >= 0 && static_cast<uint64_t>(position) < document_.documentSize ? document_.documentSize - static_cast<uint64_t>(position) : 0;
  const uint32_t wanted = static_cast<uint32_t>(std::min<uint64_t>({keep, length, left, INT32_MAX}));
  byteBuffer_.resize(wanted);
  int32_t got = wanted > 0 ? document_.documentStream->Read(byteBuffer_.data(), static_cast<int32_t>(wanted)) : 0;
  if (got < 0) got = 0;
  byteBuffer_.resize(static_cast<size_t>(got));
  Skip(length - static_cast<uint32_t>(got));
  return static_cast<size_t>(got);
}

void TPptReader::Skip(uint32_t length) {
  if (length > 0) document_.documentStream->Seek64(length, kSeekFromCurrent);
}

void TPptReader::Emit(std::u16string_view text) {
  if (output_.size() + text.size() > outputLimit_) Fail();
  output_.append(text);
}

}  // namespace dkscr
