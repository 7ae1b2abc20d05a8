#pragma once
// The records the archive reader keeps: the end record and one entry per archive member.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace dkscr {

inline constexpr uint32_t kZipLocalHeaderSignature = 0x04034b50;
inline constexpr uint32_t kZipCentralHeaderSignature = 0x02014b50;
inline constexpr uint32_t kZipEndRecordSignature = 0x06054b50;
inline constexpr uint32_t kZip64EndRecordSignature = 0x06064b50;
inline constexpr uint32_t kZip64LocatorSignature = 0x07064b50;
inline constexpr size_t kZipLocalHeaderSize = 30;
inline constexpr size_t kZipCentralHeaderSize = 46;
inline constexpr size_t kZipEndRecordSize = 22;
inline constexpr size_t kZip64EndRecordSize = 56;
inline constexpr size_t kZip64LocatorSize = 20;
// Extra field holding the 64-bit values of fields stored as all ones.
inline constexpr uint16_t kZip64ExtraId = 0x0001;

inline constexpr uint16_t kZipFlagEncrypted = 0x0001;
inline constexpr uint16_t kZipFlagDataDescriptor = 0x0008;
inline constexpr uint16_t kZipFlagUtf8Name = 0x0800;

inline constexpr uint16_t kZipMethodStored = 0;
inline constexpr uint16_t kZipMethodDeflated = 8;

// End of central directory record of the archive last read. Counts, sizes and offsets are
// those of the ZIP64 end record when the archive has one.
struct TZipEndRecord {
  uint32_t Signature = 0;
  uint32_t DiskNumber = 0;
  uint32_t CentralDirDisk = 0;
  uint64_t EntriesThisDisk = 0;
  uint64_t TotalEntries = 0;
  uint64_t CentralDirSize = 0;
  uint64_t CentralDirOffset = 0;
  uint16_t CommentLength = 0;
  std::string Comment;
  uint64_t CommentPosition = 0;  // archive position just after the fixed 22 bytes
  bool Zip64 = false;            // the values came from a ZIP64 end record
  uint64_t DirectoryEnd = 0;     // position of the first end record after the directory
};

// One archive member as the directory (or, in recovery, its local header) describes it.
struct TZipEntryInfo {
  uint16_t VersionMadeBy = 0;
  uint16_t VersionNeeded = 0;
  uint16_t Flags = 0;
  uint16_t CompressionMethod = 0;
  uint32_t DosDateTime = 0;
  uint32_t Crc32 = 0;
  uint64_t CompressedSize = 0;
  uint64_t UncompressedSize = 0;
  uint16_t FileNameLength = 0;
  uint16_t ExtraFieldLength = 0;
  uint16_t LocalExtraFieldLength = 0;
  uint16_t CommentLength = 0;
  uint32_t DiskNumberStart = 0;
  uint16_t InternalAttributes = 0;
  uint32_t ExternalAttributes = 0;
  uint64_t LocalHeaderOffset = 0;
  uint64_t CentralHeaderPosition = 0;
  std::string FileName;   // stored path after its last backslash
  std::string Directory;  // stored path up to and including its last backslash
  std::string Comment;

  bool IsEncrypted() const { return (Flags & kZipFlagEncrypted) != 0; }
  bool HasDataDescriptor() const { return (Flags & kZipFlagDataDescriptor) != 0; }
  std::string StoredPath() const { return Directory + FileName; }
  // Splits a backslash-separated stored path into Directory and FileName.
  void SetStoredPath(std::string_view path);
};

// The entries of one archive, ordered by disk number start and then local header offset.
class TZipEntryList {
 public:
  // Takes the entry in any order; the order holds again after SortByPosition.
  void Append(std::unique_ptr<TZipEntryInfo> entry);
  // Restores the order (entries with equal keys keep theirs) in O(n log n); false when two
  // entries have the same keys.
  bool SortByPosition();
  // The entry at that disk and local header offset, or nullptr.
  TZipEntryInfo* Find(uint32_t diskNumberStart, uint64_t localHeaderOffset);
  size_t Count() const { return items_.size(); }
  TZipEntryInfo& operator[](size_t index) { return *items_[index]; }
  const TZipEntryInfo& operator[](size_t index) const { return *items_[index]; }
  void Clear() {
    items_.clear();
    byName_.clear();
  }

  // Indexes, in list order, of the named entries whose match key (NameMatchKey of the stored
  // path) is `key`. The index is built on first use, so looking up every slide of a large
  // package stays linear.
  const std::vector<size_t>& IndexesWithKey(const std::string& key);

 private:
  std::vector<std::unique_ptr<TZipEntryInfo>> items_;
  std::unordered_map<std::string, std::vector<size_t>> byName_;
  bool indexed_ = false;
  bool sorted_ = true;
};

}  // namespace dkscr
