#include "zip/ZipReader.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "platform/LittleEndian.h"
#include "zip/Crc32.h"
#include "zip/Inflate.h"
#include "zip/ZipNames.h"

namespace dkscr {
namespace {

constexpr size_t kEndSearchWindow = 65535 + kZipEndRecordSize;
// The end of the archive looked at first.
constexpr size_t kShortEndSearchWindow = 1024;
constexpr size_t kInputChunk = 32768;
constexpr size_t kRecoveryBlock = 10240;
constexpr uint64_t kExeStubSize = 14000;
// No Deflate stream yields more than 1032 bytes per input byte (258 per two bits).
constexpr uint64_t kMaxDeflateRatio = 1032;
constexpr uint64_t kReservedEntries = 65536;


constexpr uint32_t kAllOnes32 = 0xFFFFFFFF;
constexpr uint16_t kAllOnes16 = 0xFFFF;

// The fields a ZIP64 extra field may carry, in the order it carries them; each is taken from
// it only when the fixed header holds all ones there (a null pointer: not in this header).
struct Zip64Fields {
  uint64_t* uncompressedSize = nullptr;
  uint64_t* compressedSize = nullptr;
  uint64_t* localHeaderOffset = nullptr;
  uint32_t* diskNumberStart = nullptr;
};

void ApplyZip64Extra(std::string_view extra, const Zip64Fields& fields) {
  const auto* p = reinterpret_cast<const uint8_t*>(extra.data());
  size_t left = extra.size();
  while (left >= 4) {
    const uint16_t id = LoadLe16(p);
    const size_t length = std::min<size_t>(LoadLe16(p + 2), left - 4);
    const uint8_t* data = p + 4;
    if (id == kZip64ExtraId) {
      size_t at = 0;
      for (uint64_t* field : {fields.uncompressedSize, fields.compressedSize, fields.localHeaderOffset}) {
        if (field == nullptr || *field != kAllOnes32) continue;
        if (at + 8 > length) return;
        *field = LoadLe64(data + at);
        at += 8;
      }
      if (fields.diskNumberStart != nullptr && *fields.diskNumberStart == kAllOnes16 && at + 4 <= length) {
        *fields.diskNumberStart = LoadLe32(data + at);
      }
      return;
    }
    p += 4 + length;
    left -= 4 + length;
  }
}

bool NeedsZip64(const Zip64Fields& fields) {
  for (const uint64_t* field : {fields.uncompressedSize, fields.compressedSize, fields.localHeaderOffset}) {
    if (field != nullptr && *field == kAllOnes32) return true;
  }
  return fields.diskNumberStart != nullptr && *fields.diskNumberStart == kAllOnes16;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

// Entry data from the archive in input chunks.
class EntrySource : public InflateSource {
 public:
  EntrySource(ByteSource& file, uint64_t length) : file_(file), left_(length) {}

  size_t Read(uint8_t* buffer, size_t capacity) override {
    const size_t n = static_cast<size_t>(std::min<uint64_t>({left_, capacity, kInputChunk}));
    if (n == 0) return 0;
    if (file_.Read(buffer, n) != n) throw ZipTruncatedError();
    left_ -= n;
    return n;
  }

 private:
  ByteSource& file_;
  uint64_t left_;
};

}  // namespace

ZipReader::ZipReader(ByteSource& source, bool selfExtracting)
    : file_(ByteSource::Borrow(source)), selfExtracting_(selfExtracting) {}
ZipReader::~ZipReader() = default;

int ZipReader::EntryCount() const {
  return entries_ ? static_cast<int>(entries_->Count()) : 0;
}

void ZipReader::LoadDirectory() {
  try {
    ReadDirectory();
  } catch (const ZipIncompleteError&) {
    // No end record: an empty directory.
  } catch (...) {
    entries_.reset();
    endRecord_ = ZipEndRecord{};
    recovering_ = false;
    throw;
  }
}

void ZipReader::ReadDirectory() {
  entries_.reset();
  recovering_ = false;
  if (!FindEndRecord()) throw ZipIncompleteError();
  entries_ = std::make_unique<ZipDirectory>();
  // A count of 0 with a directory of some size is a count that wrapped at 65536.
  if (endRecord_.totalEntries == 0 && endRecord_.centralDirSize == 0) return;
  // Spanned archives (diskNumber != 0) are not supported; their offsets fail and recovery runs.
  file_->Seek(endRecord_.centralDirOffset);
  // Room for the count the end record states, as far as the archive can hold that many
  // central records and at most kReservedEntries; a longer directory grows as it is read.
  const uint64_t plausible = std::min(endRecord_.centralDirSize, file_->Size()) / kZipCentralHeaderSize;
  entries_->Reserve(static_cast<size_t>(std::min({endRecord_.totalEntries, plausible, kReservedEntries})));
  if (!ReadCentralRecords(endRecord_.totalEntries, false) || !ReadUncountedCentralRecords() ||
      !entries_->SortByPosition()) {
    Recover();
    return;
  }
  entries_->Compact();
}

bool ZipReader::FindEndRecord() {
  endRecord_ = ZipEndRecord{};
  const uint64_t size = file_->Size();
  if (size < kZipEndRecordSize) return size == 0;
  // Most archives have a short comment or none: their end record lies in the last bytes, and
  // the last signature there is the last in the whole window too.
  const size_t window = static_cast<size_t>(std::min<uint64_t>(size, kEndSearchWindow));
  const size_t shortWindow = std::min(window, kShortEndSearchWindow);
  std::vector<uint8_t> tail(shortWindow);
  file_->Seek(size - shortWindow);
  if (shortWindow < window && file_->Read(tail.data(), shortWindow) == shortWindow &&
      FindEndRecordIn(tail.data(), shortWindow, size)) {
    return true;
  }
  tail.resize(window);
  file_->Seek(size - window);
  if (file_->Read(tail.data(), window) != window) return false;
  return FindEndRecordIn(tail.data(), window, size);
}

// The last end record in the `window` bytes that end the archive of `size` bytes.
bool ZipReader::FindEndRecordIn(const uint8_t* tail, size_t window, uint64_t size) {
  for (size_t pos = window - kZipEndRecordSize + 1; pos-- > 0;) {
    const uint8_t* p = tail + pos;
    if (LoadLe32(p) != kZipEndRecordSignature) continue;
    ZipEndRecord& r = endRecord_;
    r.signature = LoadLe32(p);
    r.diskNumber = LoadLe16(p + 4);
    r.centralDirDisk = LoadLe16(p + 6);
    r.entriesThisDisk = LoadLe16(p + 8);
    r.totalEntries = LoadLe16(p + 10);
    r.centralDirSize = LoadLe32(p + 12);
    r.centralDirOffset = LoadLe32(p + 16);
    r.commentLength = LoadLe16(p + 20);
    const size_t available = window - pos - kZipEndRecordSize;
    r.comment.assign(reinterpret_cast<const char*>(p + kZipEndRecordSize),
                     std::min<size_t>(r.commentLength, available));
    r.commentPosition = size - window + pos + kZipEndRecordSize;
    r.directoryEnd = r.commentPosition - kZipEndRecordSize;
    ReadZip64EndRecord();
    return true;
  }
  return false;
}

// Archives past 65535 entries or 4 GiB keep their real counts, sizes and offsets in a ZIP64
// end record, found through the locator just before the classic one.
void ZipReader::ReadZip64EndRecord() {
  ZipEndRecord& r = endRecord_;
  if (r.directoryEnd < kZip64LocatorSize) return;
  uint8_t locator[kZip64LocatorSize];
  file_->Seek(r.directoryEnd - kZip64LocatorSize);
  if (file_->Read(locator, sizeof locator) != sizeof locator ||
      LoadLe32(locator) != kZip64LocatorSignature) {
    return;
  }
  // Where the locator points, or (for an archive moved behind a stub) right before it.
  const uint64_t recordEnd = r.directoryEnd - kZip64LocatorSize;
  for (const uint64_t at : {LoadLe64(locator + 8), recordEnd - std::min<uint64_t>(recordEnd, kZip64EndRecordSize)}) {
    uint8_t h[kZip64EndRecordSize];
    if (at >= recordEnd) continue;
    file_->Seek(at);
    if (file_->Read(h, sizeof h) != sizeof h || LoadLe32(h) != kZip64EndRecordSignature) continue;
    r.diskNumber = LoadLe32(h + 16);
    r.centralDirDisk = LoadLe32(h + 20);
    r.entriesThisDisk = LoadLe64(h + 24);
    r.totalEntries = LoadLe64(h + 32);
    r.centralDirSize = LoadLe64(h + 40);
    r.centralDirOffset = LoadLe64(h + 48);
    r.zip64 = true;
    r.directoryEnd = at;
    return;
  }
}

bool ZipReader::ReadCentralRecords(uint64_t count, bool matchRecovered) {
  for (uint64_t i = 0; i < count; ++i) {
    if (!ReadCentralRecord(matchRecovered)) return false;
  }
  return true;
}

// Records that follow the stated number up to the end record: a count that wrapped at 65536,
// or one that understates. What the directory holds is read, never a part of it.
bool ZipReader::ReadUncountedCentralRecords() {
  uint8_t signature[4];
  while (file_->Position() + kZipCentralHeaderSize <= endRecord_.directoryEnd) {
    const uint64_t position = file_->Position();
    if (file_->Read(signature, 4) != 4 || LoadLe32(signature) != kZipCentralHeaderSignature) break;
    file_->Seek(position);
    if (!ReadCentralRecord(false)) return false;
  }
  return true;
}

bool ZipReader::ReadCentralRecord(bool matchRecovered) {
  uint8_t h[kZipCentralHeaderSize];
  const uint64_t position = file_->Position();
  if (file_->Read(h, sizeof h) != sizeof h || LoadLe32(h) != kZipCentralHeaderSignature) {
    return false;
  }
  ZipEntry e;
  e.versionMadeBy = LoadLe16(h + 4);
  e.versionNeeded = LoadLe16(h + 6);
  e.flags = LoadLe16(h + 8);
  e.compressionMethod = LoadLe16(h + 10);
  e.dosDateTime = LoadLe32(h + 12);
  e.crc32 = LoadLe32(h + 16);
  e.compressedSize = LoadLe32(h + 20);
  e.uncompressedSize = LoadLe32(h + 24);
  e.fileNameLength = LoadLe16(h + 28);
  e.extraFieldLength = LoadLe16(h + 30);
  e.commentLength = LoadLe16(h + 32);
  e.diskNumberStart = LoadLe16(h + 34);
  e.internalAttributes = LoadLe16(h + 36);
  e.externalAttributes = LoadLe32(h + 38);
  e.localHeaderOffset = LoadLe32(h + 42);
  e.centralHeaderPosition = position;
  std::string raw(e.fileNameLength, '\0');
  if (file_->Read(raw.data(), raw.size()) != raw.size()) return false;
  const Zip64Fields wide{&e.uncompressedSize, &e.compressedSize, &e.localHeaderOffset,
                         &e.diskNumberStart};
  if (NeedsZip64(wide)) {
    std::string extra(e.extraFieldLength, '\0');
    if (file_->Read(extra.data(), extra.size()) != extra.size()) return false;
    ApplyZip64Extra(extra, wide);
  }
  file_->Seek(position + kZipCentralHeaderSize + e.fileNameLength + e.extraFieldLength +
              e.commentLength);
  e.SetStoredPath(StoredEntryName(raw, (e.versionMadeBy >> 8) == 0, e.flags));
  if (!matchRecovered) {
    entries_->Append(e);
    return true;
  }
  const size_t listed = entries_->Find(e.diskNumberStart, e.localHeaderOffset);
  if (listed != ZipDirectory::npos) {
    e.localExtraFieldLength = (*entries_)[listed].localExtraFieldLength;
    entries_->Replace(listed, e);
  }
  return true;
}

void ZipReader::Recover() {
  recovering_ = true;
  entries_ = std::make_unique<ZipDirectory>();
  const uint64_t size = file_->Size();
  uint64_t position = selfExtracting_ ? kExeStubSize : 0;

  // Scan for a local header signature followed by a plausible version-needed field.
  uint64_t found = UINT64_MAX;
  std::vector<uint8_t> block(kRecoveryBlock + 5);
  while (found == UINT64_MAX && position + 6 <= size) {
    file_->Seek(position);
    const size_t got = file_->Read(block.data(), block.size());
    for (size_t i = 0; i + 6 <= got; ++i) {
      if (LoadLe32(&block[i]) == kZipLocalHeaderSignature && block[i + 5] < 10) {
        found = position + i;
        break;
      }
    }
    if (got < block.size()) break;
    position += kRecoveryBlock;
  }
  if (found == UINT64_MAX) throw ZipDamagedError();

  uint8_t h[kZipLocalHeaderSize];
  uint64_t headers = 0;
  position = found;
  while (position + kZipLocalHeaderSize <= size) {
    file_->Seek(position);
    if (file_->Read(h, sizeof h) != sizeof h || LoadLe32(h) != kZipLocalHeaderSignature) break;
    ZipEntry local;
    local.versionNeeded = LoadLe16(h + 4);
    local.flags = LoadLe16(h + 6);
    local.compressionMethod = LoadLe16(h + 8);
    local.dosDateTime = LoadLe32(h + 10);
    local.crc32 = LoadLe32(h + 14);
    local.compressedSize = LoadLe32(h + 18);
    local.uncompressedSize = LoadLe32(h + 22);
    local.fileNameLength = LoadLe16(h + 26);
    local.localExtraFieldLength = LoadLe16(h + 28);
    local.localHeaderOffset = position;
    std::string raw(local.fileNameLength, '\0');
    if (file_->Read(raw.data(), raw.size()) != raw.size()) break;
    const Zip64Fields wide{&local.uncompressedSize, &local.compressedSize, nullptr, nullptr};
    if (NeedsZip64(wide)) {
      std::string extra(local.localExtraFieldLength, '\0');
      if (file_->Read(extra.data(), extra.size()) != extra.size()) break;
      ApplyZip64Extra(extra, wide);
    }
    local.SetStoredPath(StoredEntryName(raw, true, local.flags));
    const uint64_t data = position + kZipLocalHeaderSize + local.fileNameLength + local.localExtraFieldLength;
    // A size beyond the file ends the scan after this entry, without wrapping around.
    position = data + std::min(local.compressedSize, size) + (local.HasDataDescriptor() ? 16 : 0);
    entries_->Append(local);
    ++headers;
  }
  if (headers == 0) throw ZipDamagedError();
  entries_->SortByPosition();  // found in ascending order: nothing to do
  // Whatever central records follow complete the entries found; the first bad one ends it.
  endRecord_.centralDirOffset = position;
  endRecord_.totalEntries = headers;
  file_->Seek(position);
  ReadCentralRecords(headers, true);
  entries_->Compact();
}

int ZipReader::ExtractToStream(std::string& stream, std::string_view name) {
  if (TrimBlanks(name).empty()) return 0;
  if (!entries_) LoadDirectory();
  FindEntries(name, matching_);
  int intact = 0;
  for (const size_t i : matching_) {
    if (ExtractEntry(entries_->Data(i), stream)) ++intact;
  }
  return intact;
}

bool ZipReader::HasEntry(std::string_view name) {
  FindEntries(name, matching_);
  return !matching_.empty();
}

void ZipReader::FindEntries(std::string_view name, std::vector<size_t>& indexes) {
  const std::string_view wanted = TrimBlanks(name);
  if (wanted.empty() || !entries_) {
    indexes.clear();
    return;
  }
  entries_->IndexesWithKeyInto(wanted, indexes);
}

bool ZipReader::ExtractEntryToStream(size_t index, std::string& stream) {
  if (!entries_ || index >= entries_->Count()) return false;
  return ExtractEntry(entries_->Data(index), stream);
}

// Decodes the small entry whose compressed bytes follow, as a decoder reading them from the
// archive would, or takes the data of a recent entry with the same bytes when it fits the
// limit. Only a stream decoded to its end is remembered, so a taken copy is what decoding it
// again would give.
void ZipReader::InflateSmall(uint64_t packedSize, std::string& stream, size_t limit, size_t sizeHint) {
  packed_.resize(static_cast<size_t>(packedSize));
  if (file_->Read(packed_.data(), packed_.size()) != packed_.size()) throw ZipTruncatedError();
  for (const RecentEntry& recent : recent_) {
    if (recent.packed == packed_ && recent.data.size() <= limit) {
      stream.append(recent.data);
      return;
    }
  }
  const size_t start = stream.size();
  const InflateStatus status =
      InflateBuffer(reinterpret_cast<const uint8_t*>(packed_.data()), packed_.size(), stream, limit, sizeHint);
  if (status != InflateStatus::kDone || stream.size() - start > kRecentDataBytes) return;
  RecentEntry& recent = recent_[nextRecent_];
  nextRecent_ = (nextRecent_ + 1) % recent_.size();
  recent.packed.assign(packed_);
  recent.data.assign(stream, start);
}

bool ZipReader::ExtractEntry(const ZipEntryData& entry, std::string& stream) {
  // Encrypted entries cannot be read without a password; oversized ones are not trusted.
  if (entry.IsEncrypted() || entry.uncompressedSize > kMaxEntrySize) return false;
  uint8_t h[kZipLocalHeaderSize];
  file_->Seek(entry.localHeaderOffset);
  if (file_->Read(h, sizeof h) != sizeof h) throw ZipTruncatedError();
  const uint64_t dataStart = entry.localHeaderOffset + kZipLocalHeaderSize + LoadLe16(h + 26) + LoadLe16(h + 28);
  if (dataStart > file_->Size() || entry.compressedSize > file_->Size() - dataStart) throw ZipTruncatedError();
  file_->Seek(dataStart);

  // One byte past the budget is enough to tell that the entry would pass it.
  const uint64_t limit = std::min(entry.uncompressedSize, outputBudget_ == kUnbounded ? kUnbounded
                                                                                  : outputBudget_ + 1);
  const size_t start = stream.size();
  try {
    switch (entry.compressionMethod) {
      case kZipMethodStored: {
        // The declared size bounds the output as it does for inflated entries.
        uint64_t left = std::min(entry.compressedSize, limit);
        stream.reserve(start + left);
        std::vector<uint8_t> chunk(static_cast<size_t>(std::min<uint64_t>(left, kInputChunk)));
        while (left > 0) {
          const size_t n = static_cast<size_t>(std::min<uint64_t>(left, kInputChunk));
          if (file_->Read(chunk.data(), n) != n) throw ZipTruncatedError();
          stream.append(reinterpret_cast<const char*>(chunk.data()), n);
          left -= n;
        }
        break;
      }
      case kZipMethodDeflated: {
        const uint64_t plausible = entry.compressedSize * kMaxDeflateRatio + 1024;
        const size_t hint = static_cast<size_t>(std::min<uint64_t>(limit, plausible));
        // Invalid data simply ends decoding; the CRC check below decides.
        if (entry.compressedSize <= kRecentPackedBytes) {
          InflateSmall(entry.compressedSize, stream, static_cast<size_t>(limit), hint);
          break;
        }
        EntrySource source(*file_, entry.compressedSize);
        Inflate(source, stream, static_cast<size_t>(limit), hint);
        break;
      }
      default:  // an unknown compression method gives nothing, and fails its CRC check
        break;
    }
  } catch (const std::length_error&) {
    throw ZipWriteError();
  }
  const uint64_t produced = stream.size() - start;
  if (outputBudget_ != kUnbounded) {
    if (produced > outputBudget_) throw ZipTooLargeError();
    outputBudget_ -= produced;
  }
  const uint32_t crc = Crc32(reinterpret_cast<const uint8_t*>(stream.data()) + start, produced);
  return crc == entry.crc32;
}

}  // namespace dkscr
