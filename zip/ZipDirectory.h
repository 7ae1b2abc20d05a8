#pragma once
// The records the archive reader keeps: the end record and one entry per archive member.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "zip/ZipFormat.h"

namespace dkscr {

// End of central directory record of the archive last read. Counts, sizes and offsets are
// those of the ZIP64 end record when the archive has one.
struct ZipEndRecord {
  uint32_t signature = 0;
  uint32_t diskNumber = 0;
  uint32_t centralDirDisk = 0;
  uint64_t entriesThisDisk = 0;
  uint64_t totalEntries = 0;
  uint64_t centralDirSize = 0;
  uint64_t centralDirOffset = 0;
  uint16_t commentLength = 0;
  std::string comment;
  uint64_t commentPosition = 0;  // archive position just after the fixed 22 bytes
  bool zip64 = false;            // the values came from a ZIP64 end record
  uint64_t directoryEnd = 0;     // position of the first end record after the directory
};

// One archive member as the directory (or, in recovery, its local header) describes it. The
// directory keeps its entries packed and hands out copies of this form.
struct ZipEntry {
  uint16_t versionMadeBy = 0;
  uint16_t versionNeeded = 0;
  uint16_t flags = 0;
  uint16_t compressionMethod = 0;
  uint32_t dosDateTime = 0;
  uint32_t crc32 = 0;
  uint64_t compressedSize = 0;
  uint64_t uncompressedSize = 0;
  uint16_t fileNameLength = 0;
  uint16_t extraFieldLength = 0;
  uint16_t localExtraFieldLength = 0;
  uint16_t commentLength = 0;
  uint32_t diskNumberStart = 0;
  uint16_t internalAttributes = 0;
  uint32_t externalAttributes = 0;
  uint64_t localHeaderOffset = 0;
  uint64_t centralHeaderPosition = 0;
  std::string fileName;   // stored path after its last backslash
  std::string directory;  // stored path up to and including its last backslash
  std::string comment;

  bool IsEncrypted() const { return (flags & kZipFlagEncrypted) != 0; }
  bool HasDataDescriptor() const { return (flags & kZipFlagDataDescriptor) != 0; }
  std::string StoredPath() const { return directory + fileName; }
  // Splits a backslash-separated stored path into directory and fileName.
  void SetStoredPath(std::string_view path);
};

// What extracting an entry needs of it.
struct ZipEntryData {
  uint16_t flags = 0;
  uint16_t compressionMethod = 0;
  uint32_t crc32 = 0;
  uint64_t compressedSize = 0;
  uint64_t uncompressedSize = 0;
  uint64_t localHeaderOffset = 0;

  bool IsEncrypted() const { return (flags & kZipFlagEncrypted) != 0; }
};

// The entries of one archive, ordered by disk number start and then local header offset.
//
// A package may list hundreds of thousands of parts, so an entry is kept in 32 bytes plus its
// file name: offsets and sizes as 32-bit numbers (an entry that needs more keeps its 64-bit
// values aside), names in one shared block of bytes, and the fields that entries mostly share
// (versions, flags, method, attributes, folder) once for every run of entries that has them.
// The index of names is one array of entry numbers sorted by the hashes of their names, and
// one bucket start for about every four entries, made when first asked.
class ZipDirectory {
 public:
  static constexpr size_t npos = SIZE_MAX;

  // Room for about this many entries, so that a directory read in one pass is not copied as
  // it grows; the caller bounds it by what the archive can hold.
  void Reserve(size_t entries);
  // Takes the entry in any order; the order holds again after SortByPosition. Throws
  // std::bad_alloc when the directory cannot grow (past 2^32 entries or bytes of names).
  void Append(const ZipEntry& entry);
  // Replaces the fields of entry `index` with those of an entry of the same position keys.
  void Replace(size_t index, const ZipEntry& entry);
  // Restores the order (entries with equal keys keep theirs) in O(n log n); false when two
  // entries have the same keys.
  bool SortByPosition();
  // Index of the entry at that disk and local header offset, or npos.
  size_t Find(uint32_t diskNumberStart, uint64_t localHeaderOffset) const;
  // Gives back the room reserved beyond what the entries use.
  void Compact();
  void Clear();

  size_t Count() const { return records_.size(); }
  // A copy of entry `index`.
  ZipEntry operator[](size_t index) const;
  ZipEntryData Data(size_t index) const;
  std::string_view FileName(size_t index) const;
  std::string_view Directory(size_t index) const;
  std::string StoredPath(size_t index) const;

  // Into `found` (its storage reused), in list order, the indexes of the named entries whose
  // match key (NameMatchKey of the stored path) is that of `name` (a name or its match key).
  // The index is built on first use, so looking up every slide of a large package stays
  // O(n log n) in all, each look-up O(1).
  void IndexesWithKeyInto(std::string_view name, std::vector<size_t>& found);

  // Bytes the directory holds for its entries, names and index.
  size_t StorageBytes() const;

 private:
  // What runs of entries share. A wide entry keeps its 64-bit values in wide_.
  struct Kind {
    uint32_t directory = 0;  // offset of the folder's name in names_
    uint32_t diskNumberStart = 0;
    uint32_t externalAttributes = 0;
    uint16_t versionMadeBy = 0;
    uint16_t versionNeeded = 0;
    uint16_t flags = 0;
    uint16_t compressionMethod = 0;
    uint16_t extraFieldLength = 0;
    uint16_t localExtraFieldLength = 0;
    uint16_t commentLength = 0;
    uint16_t internalAttributes = 0;
    // The name's length as stored in the header less that of the stored path (a name
    // converted from the MS-DOS code page changes length).
    int32_t nameLengthDelta = 0;
    bool wide = false;
  };
  struct Record {
    uint32_t localHeaderOffset;  // for a wide entry, its index in wide_
    uint32_t compressedSize;
    uint32_t uncompressedSize;
    uint32_t crc32;
    uint32_t centralHeaderPosition;
    uint32_t dosDateTime;
    uint32_t fileName;  // offset of the name in names_
    uint32_t kind;
  };
  struct Wide {
    uint64_t localHeaderOffset;
    uint64_t compressedSize;
    uint64_t uncompressedSize;
    uint64_t centralHeaderPosition;
  };
  static_assert(sizeof(Record) == 32);

  Record MakeRecord(const ZipEntry& entry, uint32_t fileName);
  uint32_t KindOf(const ZipEntry& entry, bool wide);
  uint32_t AddName(std::string_view name);
  bool SameKind(const Kind& a, const Kind& b) const;
  std::string_view NameAt(uint32_t offset) const;
  // The offsets and sizes of an entry, wide or not.
  Wide WideValues(const Record& r) const;
  uint64_t LocalHeaderOffset(const Record& r) const;
  uint32_t DiskNumberStart(const Record& r) const { return kinds_[r.kind].diskNumberStart; }
  bool PositionBefore(const Record& a, const Record& b) const;
  bool KeyEquals(const Record& r, std::string_view key) const;
  void BuildIndex();
  void ForgetIndex();

  std::vector<Record> records_;
  std::vector<Kind> kinds_;
  std::vector<Wide> wide_;
  // Names, each after its length (seven bits a byte, low bits first).
  std::string names_;
  // The last kinds taken, tried first for the next entry.
  static constexpr size_t kRecentKinds = 8;
  uint32_t recentKinds_[kRecentKinds] = {};
  size_t recentCount_ = 0;
  size_t recentNext_ = 0;
  size_t BucketOf(uint32_t hash) const {
    return bucketBits_ == 0 ? 0 : hash >> (32 - bucketBits_);
  }

  // Entry numbers with a file name, by the hash of their match key and then in list order;
  // the entries whose hashes start with the bits b lie from buckets_[b] to buckets_[b + 1].
  // Up to kTaggedLimit entries, each number carries the low eight bits of its hash in its top
  // eight, so that a look-up passes over the other entries of its bucket without reading
  // their names (scattered over the whole directory in a large package).
  static constexpr size_t kTaggedLimit = size_t{1} << 24;
  std::vector<uint32_t> byKey_;
  std::vector<uint32_t> buckets_;
  int bucketBits_ = 0;
  bool tagged_ = false;
  bool indexed_ = false;
  bool sorted_ = true;
};

}  // namespace dkscr
