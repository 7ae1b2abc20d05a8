#include "core/PptReader.h"

#include <algorithm>
#include <climits>

#include "core/Cp1252.h"

namespace dkscr {
namespace {

constexpr char16_t kCr = u'\r';
// Slide list text kept as read; what lies beyond is read again from the stream when shown.
constexpr size_t kListTextKept = 64 * 1024;

[[noreturn]] void Fail() { throw PptFormatError(); }

}  // namespace

ResultCode TPptReader::Extract(std::unique_ptr<TDocFileStorage> storage, TextEncoder& text) {
  text_ = &text;
  switch (OpenPptDocument(std::move(storage), document_)) {
    case PptOpening::kEncrypted: return kResultEncrypted;
    case PptOpening::kNoText: return 0;
    case PptOpening::kReady: break;
  }
  const uint32_t documentOffset = document_.directory.LookupPersistOffset(document_.docPersistIdRef);
  if (documentOffset == kNoPersistOffset) return 0;  // no document record: nothing can be found
  document_.documentStream->Seek64(documentOffset, kSeekFromStart);
  CollectSlideList();
  if (slideTextEntries_.size() > UINT32_MAX) Fail();
  entriesByPersistId_.reserve(slideTextEntries_.size());
  for (size_t i = 0; i < slideTextEntries_.size(); ++i) {
    entriesByPersistId_.push_back({slideTextEntries_[i].persistId, static_cast<uint32_t>(i)});
  }
  std::sort(entriesByPersistId_.begin(), entriesByPersistId_.end(), [](const EntryOfPersistId& a, const EntryOfPersistId& b) {
    return a.persistId != b.persistId ? a.persistId < b.persistId : a.entry < b.entry;
  });

  recordsLeft_ = 16 * (document_.documentSize / 8) + 4096;
  outputLimit_ = 16 * document_.documentSize + (1u << 20);
  uint32_t offset = 0;
  while (NextPersistObject(offset)) {
    if (offset != kNoPersistOffset) VisitObject(offset);  // an unresolved id gives no text
  }
  if (unitsEmitted_ > static_cast<uint64_t>(INT32_MAX / 2)) Fail();
  return 0;
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
        slideTextEntries_.push_back({persistId, lineStarts_.size()});
      }
      return;
    case ppt::kTextHeaderAtom:
      if (slideTextEntries_.empty()) Fail();
      lineStarts_.push_back(textAtoms_.size());
      break;
    case ppt::kTextCharsAtom:
    case ppt::kTextBytesAtom: {
      if (slideTextEntries_.empty() || LineCount(slideTextEntries_.size() - 1) == 0) Fail();
      // Where the data lies and how much of it the stream holds; read when a slide shows it.
      const int64_t position = document_.documentStream->Seek64(0, kSeekFromCurrent);
      const uint64_t at = position > 0 ? static_cast<uint64_t>(position) : 0;
      const uint64_t left = at < document_.documentSize ? document_.documentSize - at : 0;
      const auto bytes = static_cast<uint32_t>(std::min<uint64_t>({header.recLen, left, INT32_MAX}));
      const bool isBytes = header.recType == ppt::kTextBytesAtom;
      if (bytes > 0 && bytes <= kListTextKept - listText_.size()) {
        const size_t n = ReadAtomData(header.recLen, header.recLen);
        textAtoms_.push_back({listText_.size(), static_cast<uint32_t>(n), isBytes, true});
        listText_.insert(listText_.end(), byteBuffer_.begin(), byteBuffer_.begin() + static_cast<std::ptrdiff_t>(n));
        return;
      }
      if (bytes > 0) textAtoms_.push_back({at, bytes, isBytes, false});
      break;
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
      const auto first = std::lower_bound(
          entriesByPersistId_.begin(), entriesByPersistId_.end(), currentPersistId_,
          [](const EntryOfPersistId& e, uint32_t id) { return e.persistId < id; });
      for (auto it = first; it != entriesByPersistId_.end() && it->persistId == currentPersistId_; ++it) {
        if (LineCount(it->entry) <= static_cast<size_t>(index)) continue;
        EmitListLine(slideTextEntries_[it->entry].firstLine + static_cast<size_t>(index));
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
  if (unitsEmitted_ + text.size() > outputLimit_) Fail();
  unitsEmitted_ += text.size();
  text_->Append(text);
}

size_t TPptReader::LineCount(size_t entry) const {
  const size_t end = entry + 1 < slideTextEntries_.size() ? slideTextEntries_[entry + 1].firstLine : lineStarts_.size();
  return end - slideTextEntries_[entry].firstLine;
}

// A line of the slide list: its kept bytes, or its atoms read again from the stream a block
// at a time.
void TPptReader::EmitListLine(size_t line) {
  constexpr uint32_t kBlock = 32 * 1024;  // even: a block never splits a character
  const size_t end = line + 1 < lineStarts_.size() ? lineStarts_[line + 1] : textAtoms_.size();
  for (size_t a = lineStarts_[line]; a < end; ++a) {
    const TextAtomPlace& place = textAtoms_[a];
    if (place.kept) {
      EmitAtomText(listText_.data() + place.offset, place.bytes, place.isBytes);
      continue;
    }
    if (!listStream_) listStream_ = document_.documentStream->Duplicate();
    listStream_->Seek64(static_cast<int64_t>(place.offset), kSeekFromStart);
    for (uint32_t done = 0; done < place.bytes;) {
      const uint32_t wanted = std::min(kBlock, place.bytes - done);
      byteBuffer_.resize(wanted);
      const int32_t got = listStream_->Read(byteBuffer_.data(), static_cast<int32_t>(wanted));
      if (got <= 0) break;
      EmitAtomText(byteBuffer_.data(), static_cast<size_t>(got), place.isBytes);
      if (static_cast<uint32_t>(got) < wanted) break;
      done += wanted;
    }
  }
}

void TPptReader::EmitAtomText(const uint8_t* data, size_t size, bool isBytes) {
  wideBuffer_.clear();
  if (isBytes) {
    for (size_t i = 0; i < size; ++i) wideBuffer_.push_back(Cp1252ToWide(data[i]));
  } else {
    for (size_t i = 0; i + 1 < size; i += 2) wideBuffer_.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  Emit(wideBuffer_);
}

}  // namespace dkscr
