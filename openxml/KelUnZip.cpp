#include "openxml/KelUnZip.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <vector>

#include "core/LittleEndian.h"
#include "core/NativePath.h"
#include "core/RegularFile.h"
#include "openxml/Crc32.h"
#include "openxml/Inflate.h"
#include "openxml/ZipNames.h"

namespace dkscr {
namespace {

constexpr size_t kEndSearchWindow = 65535 + kZipEndRecordSize;
constexpr size_t kInputChunk = 32768;
constexpr size_t kRecoveryPumpInterval = 10240;
constexpr uint64_t kExeStubSize = 14000;
// No Deflate stream yields more than 1032 bytes per input byte (258 per two bits).
constexpr uint64_t kMaxDeflateRatio = 1032;


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

bool EndsWithIgnoringCase(std::u16string_view text, std::u16string_view suffix) {
  if (text.size() < suffix.size()) return false;
  return PathsEqualIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

// Entry data from the archive in input chunks, letting the host breathe before each.
class EntrySource : public InflateSource {
 public:
  EntrySource(ByteSource& file, uint64_t length, const TKelUnZip& owner, void (*pump)(const TKelUnZip&))
      : file_(file), left_(length), owner_(owner), pump_(pump) {}

  size_t Read(uint8_t* buffer, size_t capacity) override {
    const size_t n = static_cast<size_t>(std::min<uint64_t>({left_, capacity, kInputChunk}));
    if (n == 0) return 0;
    pump_(owner_);
    if (file_.Read(buffer, n) != n) throw EZipFatal();
    left_ -= n;
    return n;
  }

 private:
  ByteSource& file_;
  uint64_t left_;
  const TKelUnZip& owner_;
  void (*pump_)(const TKelUnZip&);
};

// Shows the busy cursor for its lifetime.
class BusyCursor {
 public:
  explicit BusyCursor(const ZipHostHooks& hooks) : hooks_(hooks) {
    if (hooks_.ShowBusyCursor) hooks_.ShowBusyCursor();
  }
  ~BusyCursor() {
    if (hooks_.RestoreCursor) hooks_.RestoreCursor();
  }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  const ZipHostHooks& hooks_;
};

// Why a file cannot be opened, in words that need no shared C library state.
const char* OpenFailureText(int error) {
  switch (error) {
    case ENOENT: case ENOTDIR: return "No such file or directory";
    case EACCES: case EPERM: return "Permission denied";
    case EISDIR: case EINVAL: return "Not a regular file";
    case EMFILE: case ENFILE: return "Too many open files";
    default: return "Input/output error";
  }
}

}  // namespace

TKelUnZip::TKelUnZip() = default;
TKelUnZip::~TKelUnZip() = default;

void TKelUnZip::SetZipName(std::u16string_view name) {
  if (image_) {
    image_.reset();
    zipName_.assign(name);
    DropArchiveState();
    return;
  }
  if (PathsEqualIgnoringCase(name, zipName_)) {
    if (name == zipName_) return;
    // File names are case-sensitive here: keep the directory only if both name one file.
    const FileStatus status = StatusOfPath(PathToNative(name));
    if (stamp_.valid && status.kind != PathKind::kMissing && status.device == stamp_.device &&
        status.inode == stamp_.inode) {
      zipName_.assign(name);
      return;
    }
  }
  zipName_.assign(name);
  DropArchiveState();
}

void TKelUnZip::SetZipImage(std::string_view image) {
  zipName_.clear();
  image_ = image;
  DropArchiveState();
}

void TKelUnZip::DropArchiveState() {
  entries_.reset();
  endRecord_ = TZipEndRecord{};
  stamp_ = FileStamp{};
  CloseArchive();
  recovering_ = false;
}

bool TKelUnZip::OpenArchive() {
  if (file_) return false;
  if (image_) {
    file_ = ByteSource::OfMemory(*image_);
    return true;
  }
  const std::string native = PathToNative(zipName_);
  int error = 0;
  file_ = ByteSource::OpenFile(native, error);
  if (!file_) throw EZipOpenError("Cannot open file \"" + native + "\". " + OpenFailureText(error));
  return true;
}

void TKelUnZip::CloseArchive() { file_.reset(); }

int TKelUnZip::EntryCount() const {
  return entries_ ? static_cast<int>(entries_->Count()) : 0;
}

void TKelUnZip::PumpMessages() const {
  if (DoProcessMessages && Hooks.ProcessMessages) Hooks.ProcessMessages();
}

void TKelUnZip::LoadDirectory() {
  BusyCursor busy(Hooks);
  OpenArchive();
  try {
    EnsureDirectory();
  } catch (const EZipIncomplete&) {
    CloseArchive();
    return;
  } catch (...) {
    DropArchiveState();
    zipName_.clear();
    throw;
  }
  if (!keepZipOpen_) CloseArchive();
}

void TKelUnZip::EnsureDirectory() {
  const ByteSource::Identity now = file_->Stat();
  const FileStamp current{true, now.mtimeSec, now.mtimeNsec, now.size, now.device, now.inode};
  if (entries_ && current == stamp_) return;
  stamp_ = current;
  ReadDirectory();
}

void TKelUnZip::ReadDirectory() {
  entries_.reset();
  recovering_ = false;
  if (!FindEndRecord()) throw EZipIncomplete();
  entries_ = std::make_unique<TZipEntryList>();
  // A count of 0 with a directory of some size is a count that wrapped at 65536.
  if (endRecord_.TotalEntries == 0 && endRecord_.CentralDirSize == 0) return;
  // Spanned archives (DiskNumber != 0) are not supported; their offsets fail and recovery runs.
  file_->Seek(endRecord_.CentralDirOffset);
  if (!ReadCentralRecords(endRecord_.TotalEntries, false) || !ReadUncountedCentralRecords() ||
      !entries_->SortByPosition()) {
    Recover();
  }
}

bool TKelUnZip::FindEndRecord() {
  endRecord_ = TZipEndRecord{};
  const uint64_t size = file_->Size();
  if (size < kZipEndRecordSize) return size == 0;
  const size_t window = static_cast<size_t>(std::min<uint64_t>(size, kEndSearchWindow));
  std::vector<uint8_t> tail(window);
  file_->Seek(size - window);
  if (file_->Read(tail.data(), window) != window) return false;
  for (size_t pos = window - kZipEndRecordSize + 1; pos-- > 0;) {
    const uint8_t* p = tail.data() + pos;
    if (LoadLe32(p) != kZipEndRecordSignature) continue;
    TZipEndRecord& r = endRecord_;
    r.Signature = LoadLe32(p);
    r.DiskNumber = LoadLe16(p + 4);
    r.CentralDirDisk = LoadLe16(p + 6);
    r.EntriesThisDisk = LoadLe16(p + 8);
    r.TotalEntries = LoadLe16(p + 10);
    r.CentralDirSize = LoadLe32(p + 12);
    r.CentralDirOffset = LoadLe32(p + 16);
    r.CommentLength = LoadLe16(p + 20);
    const size_t available = window - pos - kZipEndRecordSize;
    r.Comment.assign(reinterpret_cast<const char*>(p + kZipEndRecordSize),
                     std::min<size_t>(r.CommentLength, available));
    r.CommentPosition = size - window + pos + kZipEndRecordSize;
    r.DirectoryEnd = r.CommentPosition - kZipEndRecordSize;
    ReadZip64EndRecord();
    return true;
  }
  return false;
}

// Archives past 65535 entries or 4 GiB keep their real counts, sizes and offsets in a ZIP64
// end record, found through the locator just before the classic one.
void TKelUnZip::ReadZip64EndRecord() {
  TZipEndRecord& r = endRecord_;
  if (r.DirectoryEnd < kZip64LocatorSize) return;
  uint8_t locator[kZip64LocatorSize];
  file_->Seek(r.DirectoryEnd - kZip64LocatorSize);
  if (file_->Read(locator, sizeof locator) != sizeof locator ||
      LoadLe32(locator) != kZip64LocatorSignature) {
    return;
  }
  // Where the locator points, or (for an archive moved behind a stub) right before it.
  const uint64_t recordEnd = r.DirectoryEnd - kZip64LocatorSize;
  for (const uint64_t at : {LoadLe64(locator + 8), recordEnd - std::min<uint64_t>(recordEnd, kZip64EndRecordSize)}) {
    uint8_t h[kZip64EndRecordSize];
    if (at >= recordEnd) continue;
    file_->Seek(at);
    if (file_->Read(h, sizeof h) != sizeof h || LoadLe32(h) != kZip64EndRecordSignature) continue;
    r.DiskNumber = LoadLe32(h + 16);
    r.CentralDirDisk = LoadLe32(h + 20);
    r.EntriesThisDisk = LoadLe64(h + 24);
    r.TotalEntries = LoadLe64(h + 32);
    r.CentralDirSize = LoadLe64(h + 40);
    r.CentralDirOffset = LoadLe64(h + 48);
    r.Zip64 = true;
    r.DirectoryEnd = at;
    return;
  }
}

bool TKelUnZip::ReadCentralRecords(uint64_t count, bool matchRecovered) {
  for (uint64_t i = 0; i < count; ++i) {
    if (!ReadCentralRecord(matchRecovered)) return false;
  }
  return true;
}

// Records that follow the stated number up to the end record: a count that wrapped at 65536,
// or one that understates. What the directory holds is read, never a part of it.
bool TKelUnZip::ReadUncountedCentralRecords() {
  uint8_t signature[4];
  while (file_->Position() + kZipCentralHeaderSize <= endRecord_.DirectoryEnd) {
    const uint64_t position = file_->Position();
    if (file_->Read(signature, 4) != 4 || LoadLe32(signature) != kZipCentralHeaderSignature) break;
    file_->Seek(position);
    if (!ReadCentralRecord(false)) return false;
  }
  return true;
}

bool TKelUnZip::ReadCentralRecord(bool matchRecovered) {
  uint8_t h[kZipCentralHeaderSize];
  const uint64_t position = file_->Position();
  if (file_->Read(h, sizeof h) != sizeof h || LoadLe32(h) != kZipCentralHeaderSignature) {
    return false;
  }
  auto e = std::make_unique<TZipEntryInfo>();
  e->VersionMadeBy = LoadLe16(h + 4);
  e->VersionNeeded = LoadLe16(h + 6);
  e->Flags = LoadLe16(h + 8);
  e->CompressionMethod = LoadLe16(h + 10);
  e->DosDateTime = LoadLe32(h + 12);
  e->Crc32 = LoadLe32(h + 16);
  e->CompressedSize = LoadLe32(h + 20);
  e->UncompressedSize = LoadLe32(h + 24);
  e->FileNameLength = LoadLe16(h + 28);
  e->ExtraFieldLength = LoadLe16(h + 30);
  e->CommentLength = LoadLe16(h + 32);
  e->DiskNumberStart = LoadLe16(h + 34);
  e->InternalAttributes = LoadLe16(h + 36);
  e->ExternalAttributes = LoadLe32(h + 38);
  e->LocalHeaderOffset = LoadLe32(h + 42);
  e->CentralHeaderPosition = position;
  std::string raw(e->FileNameLength, '\0');
  if (file_->Read(raw.data(), raw.size()) != raw.size()) return false;
  const Zip64Fields wide{&e->UncompressedSize, &e->CompressedSize, &e->LocalHeaderOffset,
                         &e->DiskNumberStart};
  if (NeedsZip64(wide)) {
    std::string extra(e->ExtraFieldLength, '\0');
    if (file_->Read(extra.data(), extra.size()) != extra.size()) return false;
    ApplyZip64Extra(extra, wide);
  }
  file_->Seek(position + kZipCentralHeaderSize + e->FileNameLength + e->ExtraFieldLength +
              e->CommentLength);
  e->SetStoredPath(StoredEntryName(raw, (e->VersionMadeBy >> 8) == 0, e->Flags));
  if (!matchRecovered) {
    entries_->Append(std::move(e));
    return true;
  }
  if (TZipEntryInfo* listed = entries_->Find(e->DiskNumberStart, e->LocalHeaderOffset)) {
    const uint16_t localExtra = listed->LocalExtraFieldLength;
    *listed = *e;
    listed->LocalExtraFieldLength = localExtra;
  }
  return true;
}

void TKelUnZip::Recover() {
  recovering_ = true;
  entries_ = std::make_unique<TZipEntryList>();
  const uint64_t size = file_->Size();
  uint64_t position = EndsWithIgnoringCase(zipName_, u".exe") ? kExeStubSize : 0;

  // Scan for a local header signature followed by a plausible version-needed field.
  uint64_t found = UINT64_MAX;
  std::vector<uint8_t> block(kRecoveryPumpInterval + 5);
  while (found == UINT64_MAX && position + 6 <= size) {
    PumpMessages();
    file_->Seek(position);
    const size_t got = file_->Read(block.data(), block.size());
    for (size_t i = 0; i + 6 <= got; ++i) {
      if (LoadLe32(&block[i]) == kZipLocalHeaderSignature && block[i + 5] < 10) {
        found = position + i;
        break;
      }
    }
    if (got < block.size()) break;
    position += kRecoveryPumpInterval;
  }
  if (found == UINT64_MAX) {
    DropArchiveState();
    zipName_.clear();
    throw EZipBadFile();
  }

  uint8_t h[kZipLocalHeaderSize];
  uint64_t headers = 0;
  position = found;
  while (position + kZipLocalHeaderSize <= size) {
    file_->Seek(position);
    if (file_->Read(h, sizeof h) != sizeof h || LoadLe32(h) != kZipLocalHeaderSignature) break;
    auto e = std::make_unique<TZipEntryInfo>();
    e->VersionNeeded = LoadLe16(h + 4);
    e->Flags = LoadLe16(h + 6);
    e->CompressionMethod = LoadLe16(h + 8);
    e->DosDateTime = LoadLe32(h + 10);
    e->Crc32 = LoadLe32(h + 14);
    e->CompressedSize = LoadLe32(h + 18);
    e->UncompressedSize = LoadLe32(h + 22);
    e->FileNameLength = LoadLe16(h + 26);
    e->LocalExtraFieldLength = LoadLe16(h + 28);
    e->LocalHeaderOffset = position;
    std::string raw(e->FileNameLength, '\0');
    if (file_->Read(raw.data(), raw.size()) != raw.size()) break;
    const Zip64Fields wide{&e->UncompressedSize, &e->CompressedSize, nullptr, nullptr};
    if (NeedsZip64(wide)) {
      std::string extra(e->LocalExtraFieldLength, '\0');
      if (file_->Read(extra.data(), extra.size()) != extra.size()) break;
      ApplyZip64Extra(extra, wide);
    }
    e->SetStoredPath(StoredEntryName(raw, true, e->Flags));
    const uint64_t data = position + kZipLocalHeaderSize + e->FileNameLength + e->LocalExtraFieldLength;
    // A size beyond the file ends the scan after this entry, without wrapping around.
    position = data + std::min(e->CompressedSize, size) + (e->HasDataDescriptor() ? 16 : 0);
    entries_->Append(std::move(e));
    ++headers;
  }
  if (headers == 0) {
    DropArchiveState();
    zipName_.clear();
    throw EZipBadFile();
  }
  entries_->SortByPosition();  // found in ascending order: nothing to do
  // Whatever central records follow complete the entries found; the first bad one ends it.
  endRecord_.CentralDirOffset = position;
  endRecord_.TotalEntries = headers;
  file_->Seek(position);
  ReadCentralRecords(headers, true);
}

int TKelUnZip::ExtractToStream(std::string& stream, std::string_view name) {
  const std::string_view wanted = TrimBlanks(name);
  if (wanted.empty()) return 0;
  const bool opened = OpenArchive();
  struct Closer {
    TKelUnZip& self;
    ~Closer() {
      if (!self.keepZipOpen_) self.CloseArchive();
    }
  } closer{*this};
  // A file kept open since the directory was checked needs no second look.
  if (opened || !entries_) {
    try {
      EnsureDirectory();
    } catch (const EZipIncomplete&) {
      return 0;
    } catch (...) {
      DropArchiveState();
      zipName_.clear();
      throw;
    }
  }
  if (!entries_) return 0;
  // A copy, so nothing extraction does to the list can pull the indexes from under the loop.
  const std::vector<size_t> matching = entries_->IndexesWithKey(NameMatchKey(wanted));
  int intact = 0;
  for (const size_t i : matching) {
    if (ExtractEntry((*entries_)[i], stream)) ++intact;
  }
  return intact;
}

bool TKelUnZip::ExtractEntryToStream(size_t index, std::string& stream) {
  if (!entries_ || index >= entries_->Count()) return false;
  OpenArchive();
  struct Closer {
    TKelUnZip& self;
    ~Closer() {
      if (!self.keepZipOpen_) self.CloseArchive();
    }
  } closer{*this};
  return ExtractEntry((*entries_)[index], stream);
}

void TKelUnZip::SetKeepZipOpen(bool keep) {
  keepZipOpen_ = keep;
  if (!keep) CloseArchive();
}

bool TKelUnZip::ExtractEntry(TZipEntryInfo& entry, std::string& stream) {
  // Encrypted entries cannot be read without a password; oversized ones are not trusted.
  if (entry.IsEncrypted() || entry.UncompressedSize > kMaxEntrySize) return false;
  uint8_t h[kZipLocalHeaderSize];
  file_->Seek(entry.LocalHeaderOffset);
  if (file_->Read(h, sizeof h) != sizeof h) throw EZipFatal();
  const uint64_t dataStart = entry.LocalHeaderOffset + kZipLocalHeaderSize + LoadLe16(h + 26) + LoadLe16(h + 28);
  if (dataStart > file_->Size() || entry.CompressedSize > file_->Size() - dataStart) throw EZipFatal();
  file_->Seek(dataStart);

  // One byte past the budget is enough to tell that the entry would pass it.
  const uint64_t limit = std::min(entry.UncompressedSize, outputBudget_ == kUnbounded ? kUnbounded
                                                                                  : outputBudget_ + 1);
  const size_t start = stream.size();
  try {
    switch (entry.CompressionMethod) {
      case kZipMethodStored: {
        // The declared size bounds the output as it does for inflated entries.
        uint64_t left = std::min(entry.CompressedSize, limit);
        stream.reserve(start + left);
        std::vector<uint8_t> chunk(static_cast<size_t>(std::min<uint64_t>(left, kInputChunk)));
        while (left > 0) {
          const size_t n = static_cast<size_t>(std::min<uint64_t>(left, kInputChunk));
          PumpMessages();
          if (file_->Read(chunk.data(), n) != n) throw EZipFatal();
          stream.append(reinterpret_cast<const char*>(chunk.data()), n);
          left -= n;
        }
        break;
      }
      case kZipMethodDeflated: {
        EntrySource source(*file_, entry.CompressedSize, *this,
                           [](const TKelUnZip& self) { self.PumpMessages(); });
        const uint64_t plausible = entry.CompressedSize * kMaxDeflateRatio + 1024;
        const size_t hint = static_cast<size_t>(std::min<uint64_t>(limit, plausible));
        // Invalid data simply ends decoding; the CRC check below decides.
        Inflate(source, stream, static_cast<size_t>(limit), hint);
        break;
      }
      default:
        if (Hooks.ShowMessage) Hooks.ShowMessage("Unknown Compression Method", "Zip Error");
        break;
    }
  } catch (const std::length_error&) {
    throw EZipCantWrite();
  }
  const uint64_t produced = stream.size() - start;
  if (outputBudget_ != kUnbounded) {
    if (produced > outputBudget_) throw EZipTooLarge();
    outputBudget_ -= produced;
  }
  const uint32_t crc = Crc32(reinterpret_cast<const uint8_t*>(stream.data()) + start, produced);
  return crc == entry.Crc32;
}

}  // namespace dkscr
