#include "zip/ZipDirectory.h"

#include <algorithm>
#include <new>
#include <utility>

#include "zip/ZipNames.h"

namespace dkscr {

void ZipEntry::SetStoredPath(std::string_view path) {
  const size_t slash = path.rfind('\\');
  if (slash == std::string_view::npos) {
    directory.clear();
    fileName.assign(path);
  } else {
    directory.assign(path.substr(0, slash + 1));
    fileName.assign(path.substr(slash + 1));
  }
}

namespace {

constexpr uint64_t kNarrowLimit = UINT32_MAX;

inline unsigned char KeyByte(char c) { return static_cast<unsigned char>(MatchKeyByte(c)); }

// FNV-1a over the key bytes of the pieces in turn.
inline uint32_t HashKey(uint32_t hash, std::string_view piece) {
  for (const char c : piece) hash = (hash ^ KeyByte(c)) * 16777619u;
  return hash;
}
constexpr uint32_t kHashStart = 2166136261u;

}  // namespace

void ZipDirectory::Reserve(size_t entries) { records_.reserve(entries); }

uint32_t ZipDirectory::AddName(std::string_view name) {
  // Offset 0 is the empty name, which every folder entry and every entry without a folder
  // shares.
  if (names_.empty()) names_.push_back('\0');
  if (name.empty()) return 0;
  if (name.size() + 4 > kNarrowLimit - names_.size()) throw std::bad_alloc();
  const auto offset = static_cast<uint32_t>(names_.size());
  for (size_t length = name.size();; length >>= 7) {
    if (length < 0x80) {
      names_.push_back(static_cast<char>(length));
      break;
    }
    names_.push_back(static_cast<char>(0x80 | (length & 0x7F)));
  }
  names_.append(name);
  return offset;
}

std::string_view ZipDirectory::NameAt(uint32_t offset) const {
  if (offset == 0 || offset >= names_.size()) return {};
  size_t length = 0;
  size_t at = offset;
  for (int shift = 0;; shift += 7) {
    const auto byte = static_cast<unsigned char>(names_[at++]);
    length |= static_cast<size_t>(byte & 0x7F) << shift;
    if (byte < 0x80) break;
  }
  return std::string_view(names_).substr(at, length);
}

bool ZipDirectory::SameKind(const Kind& a, const Kind& b) const {
  return a.diskNumberStart == b.diskNumberStart && a.externalAttributes == b.externalAttributes &&
         a.versionMadeBy == b.versionMadeBy && a.versionNeeded == b.versionNeeded &&
         a.flags == b.flags && a.compressionMethod == b.compressionMethod &&
         a.extraFieldLength == b.extraFieldLength &&
         a.localExtraFieldLength == b.localExtraFieldLength &&
         a.commentLength == b.commentLength && a.internalAttributes == b.internalAttributes &&
         a.nameLengthDelta == b.nameLengthDelta && a.wide == b.wide;
}

uint32_t ZipDirectory::KindOf(const ZipEntry& e, bool wide) {
  Kind kind;
  kind.diskNumberStart = e.diskNumberStart;
  kind.externalAttributes = e.externalAttributes;
  kind.versionMadeBy = e.versionMadeBy;
  kind.versionNeeded = e.versionNeeded;
  kind.flags = e.flags;
  kind.compressionMethod = e.compressionMethod;
  kind.extraFieldLength = e.extraFieldLength;
  kind.localExtraFieldLength = e.localExtraFieldLength;
  kind.commentLength = e.commentLength;
  kind.internalAttributes = e.internalAttributes;
  kind.nameLengthDelta = static_cast<int32_t>(e.fileNameLength) -
                         static_cast<int32_t>(e.directory.size() + e.fileName.size());
  kind.wide = wide;
  // Entries written by one program mostly differ in folder only, and a few folders take
  // turns: the last kinds taken find nearly every entry's.
  bool folderFound = e.directory.empty();
  for (size_t i = 0; i < recentCount_; ++i) {
    const uint32_t id = recentKinds_[i];
    const Kind& known = kinds_[id];
    if (NameAt(known.directory) != e.directory) continue;
    if (SameKind(known, kind)) return id;
    kind.directory = known.directory;
    folderFound = true;
  }
  if (!folderFound) kind.directory = AddName(e.directory);
  if (kinds_.size() >= kNarrowLimit) throw std::bad_alloc();
  const auto id = static_cast<uint32_t>(kinds_.size());
  kinds_.push_back(kind);
  recentKinds_[recentNext_] = id;
  recentNext_ = (recentNext_ + 1) % kRecentKinds;
  recentCount_ = std::min(recentCount_ + 1, kRecentKinds);
  return id;
}

ZipDirectory::Record ZipDirectory::MakeRecord(const ZipEntry& e, uint32_t fileName) {
  const bool wide = e.localHeaderOffset >= kNarrowLimit || e.compressedSize >= kNarrowLimit ||
                    e.uncompressedSize >= kNarrowLimit || e.centralHeaderPosition >= kNarrowLimit;
  Record r{};
  r.crc32 = e.crc32;
  r.dosDateTime = e.dosDateTime;
  r.kind = KindOf(e, wide);
  r.fileName = fileName;
  if (wide) {
    if (wide_.size() >= kNarrowLimit) throw std::bad_alloc();
    r.localHeaderOffset = static_cast<uint32_t>(wide_.size());
    wide_.push_back({e.localHeaderOffset, e.compressedSize, e.uncompressedSize,
                     e.centralHeaderPosition});
  } else {
    r.localHeaderOffset = static_cast<uint32_t>(e.localHeaderOffset);
    r.compressedSize = static_cast<uint32_t>(e.compressedSize);
    r.uncompressedSize = static_cast<uint32_t>(e.uncompressedSize);
    r.centralHeaderPosition = static_cast<uint32_t>(e.centralHeaderPosition);
  }
  return r;
}

ZipDirectory::Wide ZipDirectory::WideValues(const Record& r) const {
  if (kinds_[r.kind].wide) return wide_[r.localHeaderOffset];
  return {r.localHeaderOffset, r.compressedSize, r.uncompressedSize, r.centralHeaderPosition};
}

uint64_t ZipDirectory::LocalHeaderOffset(const Record& r) const {
  return kinds_[r.kind].wide ? wide_[r.localHeaderOffset].localHeaderOffset : r.localHeaderOffset;
}

bool ZipDirectory::PositionBefore(const Record& a, const Record& b) const {
  const uint32_t diskA = DiskNumberStart(a);
  const uint32_t diskB = DiskNumberStart(b);
  if (diskA != diskB) return diskA < diskB;
  return LocalHeaderOffset(a) < LocalHeaderOffset(b);
}

void ZipDirectory::Append(const ZipEntry& entry) {
  if (records_.size() >= kNarrowLimit) throw std::bad_alloc();
  ForgetIndex();
  const Record r = MakeRecord(entry, AddName(entry.fileName));
  // Archives list their entries in order, so sorting is mostly not needed.
  if (!records_.empty() && !PositionBefore(records_.back(), r)) sorted_ = false;
  records_.push_back(r);
}

void ZipDirectory::Replace(size_t index, const ZipEntry& entry) {
  ForgetIndex();
  // Recovery completes every entry from its central record, which mostly gives the same
  // name again.
  const uint32_t oldName = records_[index].fileName;
  records_[index] = MakeRecord(entry, NameAt(oldName) == entry.fileName ? oldName : AddName(entry.fileName));
}

bool ZipDirectory::SortByPosition() {
  if (sorted_) return true;
  std::stable_sort(records_.begin(), records_.end(),
                   [this](const Record& a, const Record& b) { return PositionBefore(a, b); });
  sorted_ = true;
  ForgetIndex();
  const auto twin = std::adjacent_find(records_.begin(), records_.end(),
                                       [this](const Record& a, const Record& b) {
                                         return !PositionBefore(a, b);
                                       });
  return twin == records_.end();
}

size_t ZipDirectory::Find(uint32_t diskNumberStart, uint64_t localHeaderOffset) const {
  const auto at = std::partition_point(records_.begin(), records_.end(), [&](const Record& r) {
    const uint32_t disk = DiskNumberStart(r);
    return disk < diskNumberStart || (disk == diskNumberStart && LocalHeaderOffset(r) < localHeaderOffset);
  });
  if (at == records_.end() || DiskNumberStart(*at) != diskNumberStart ||
      LocalHeaderOffset(*at) != localHeaderOffset) {
    return npos;
  }
  return static_cast<size_t>(at - records_.begin());
}

void ZipDirectory::Compact() {
  records_.shrink_to_fit();
  kinds_.shrink_to_fit();
  wide_.shrink_to_fit();
  names_.shrink_to_fit();
}

void ZipDirectory::Clear() {
  *this = ZipDirectory();
}

ZipEntry ZipDirectory::operator[](size_t index) const {
  const Record& r = records_[index];
  const Kind& k = kinds_[r.kind];
  ZipEntry e;
  e.versionMadeBy = k.versionMadeBy;
  e.versionNeeded = k.versionNeeded;
  e.flags = k.flags;
  e.compressionMethod = k.compressionMethod;
  e.dosDateTime = r.dosDateTime;
  e.crc32 = r.crc32;
  e.extraFieldLength = k.extraFieldLength;
  e.localExtraFieldLength = k.localExtraFieldLength;
  e.commentLength = k.commentLength;
  e.diskNumberStart = k.diskNumberStart;
  e.internalAttributes = k.internalAttributes;
  e.externalAttributes = k.externalAttributes;
  e.directory = NameAt(k.directory);
  e.fileName = NameAt(r.fileName);
  e.fileNameLength =
      static_cast<uint16_t>(static_cast<int32_t>(e.directory.size() + e.fileName.size()) + k.nameLengthDelta);
  const Wide w = WideValues(r);
  e.localHeaderOffset = w.localHeaderOffset;
  e.compressedSize = w.compressedSize;
  e.uncompressedSize = w.uncompressedSize;
  e.centralHeaderPosition = w.centralHeaderPosition;
  return e;
}

ZipEntryData ZipDirectory::Data(size_t index) const {
  const Record& r = records_[index];
  const Kind& k = kinds_[r.kind];
  ZipEntryData d;
  d.flags = k.flags;
  d.compressionMethod = k.compressionMethod;
  d.crc32 = r.crc32;
  const Wide w = WideValues(r);
  d.localHeaderOffset = w.localHeaderOffset;
  d.compressedSize = w.compressedSize;
  d.uncompressedSize = w.uncompressedSize;
  return d;
}

std::string_view ZipDirectory::FileName(size_t index) const { return NameAt(records_[index].fileName); }

std::string_view ZipDirectory::Directory(size_t index) const {
  return NameAt(kinds_[records_[index].kind].directory);
}

std::string ZipDirectory::StoredPath(size_t index) const {
  std::string path(Directory(index));
  path.append(FileName(index));
  return path;
}

bool ZipDirectory::KeyEquals(const Record& r, std::string_view key) const {
  const std::string_view folder = NameAt(kinds_[r.kind].directory);
  const std::string_view name = NameAt(r.fileName);
  if (folder.size() + name.size() != key.size()) return false;
  for (size_t i = 0; i < folder.size(); ++i) {
    if (KeyByte(folder[i]) != KeyByte(key[i])) return false;
  }
  for (size_t i = 0; i < name.size(); ++i) {
    if (KeyByte(name[i]) != KeyByte(key[folder.size() + i])) return false;
  }
  return true;
}

void ZipDirectory::ForgetIndex() {
  if (!indexed_) return;
  std::vector<uint32_t>().swap(byKey_);
  std::vector<uint32_t>().swap(buckets_);
  indexed_ = false;
}

void ZipDirectory::BuildIndex() {
  // Hashes are worked out once and the entries placed by bucket in two passes, in their own
  // order within a bucket; then the hashes are dropped: a look-up compares the names of only
  // the entries of its bucket whose tags match its hash's.
  // The folders, shared by many entries, are hashed once each.
  std::vector<uint32_t> folderHashes(kinds_.size());
  for (size_t k = 0; k < kinds_.size(); ++k) folderHashes[k] = HashKey(kHashStart, NameAt(kinds_[k].directory));
  std::vector<uint32_t> hashes(records_.size());
  size_t keyed = 0;
  for (size_t i = 0; i < records_.size(); ++i) {
    const Record& r = records_[i];
    if (r.fileName == 0) continue;
    hashes[i] = HashKey(folderHashes[r.kind], NameAt(r.fileName));
    ++keyed;
  }
  bucketBits_ = 0;
  while (bucketBits_ < 24 && (size_t{1} << bucketBits_) * 4 < keyed) ++bucketBits_;
  // The buckets take the hash's top bits (24 at most), the tags its low eight.
  tagged_ = records_.size() <= kTaggedLimit;
  buckets_.assign((size_t{1} << bucketBits_) + 1, 0);
  for (size_t i = 0; i < records_.size(); ++i) {
    if (records_[i].fileName != 0) ++buckets_[BucketOf(hashes[i]) + 1];
  }
  for (size_t bucket = 1; bucket < buckets_.size(); ++bucket) buckets_[bucket] += buckets_[bucket - 1];
  std::vector<uint32_t> next(buckets_.begin(), buckets_.end() - 1);
  byKey_.resize(keyed);
  for (size_t i = 0; i < records_.size(); ++i) {
    if (records_[i].fileName == 0) continue;
    const uint32_t index = static_cast<uint32_t>(i);
    byKey_[next[BucketOf(hashes[i])]++] = tagged_ ? index | hashes[i] << 24 : index;
  }
  indexed_ = true;
}

void ZipDirectory::IndexesWithKeyInto(std::string_view name, std::vector<size_t>& found) {
  found.clear();
  if (!indexed_) BuildIndex();
  // Key bytes are their own keys, so a name hashes and compares as its match key does.
  const uint32_t hash = HashKey(kHashStart, name);
  const size_t bucket = BucketOf(hash);
  const uint32_t tag = hash << 24;
  for (uint32_t at = buckets_[bucket]; at < buckets_[bucket + 1]; ++at) {
    uint32_t index = byKey_[at];
    if (tagged_) {
      if ((index ^ tag) >> 24 != 0) continue;
      index &= kTaggedLimit - 1;
    }
    // Equal keys have equal hashes: comparing the names is enough.
    if (KeyEquals(records_[index], name)) found.push_back(index);
  }
}

size_t ZipDirectory::StorageBytes() const {
  return records_.capacity() * sizeof(Record) + kinds_.capacity() * sizeof(Kind) +
         wide_.capacity() * sizeof(Wide) + names_.capacity() +
         (byKey_.capacity() + buckets_.capacity()) * sizeof(uint32_t);
}

}  // namespace dkscr
