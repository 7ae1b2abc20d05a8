#pragma once
// The records the archive reader keeps: the end record and one entry per archive member.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
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

// One archive member as the directory (or, in recovery, its local header) describes it.
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

// The entries of one archive, ordered by disk number start and then local header offset.
class ZipDirectory {
 public:
  // Takes the entry in any order; the order holds again after SortByPosition.
  void Append(std::unique_ptr<ZipEntry> entry);
  // Restores the order (entries with equal keys keep theirs) in O(n log n); false when two
  // entries have the same keys.
  bool SortByPosition();
  // The entry at that disk and local header offset, or nullptr.
  ZipEntry* Find(uint32_t diskNumberStart, uint64_t localHeaderOffset);
  size_t Count() const { return items_.size(); }
  ZipEntry& operator[](size_t index) { return *items_[index]; }
  const ZipEntry& operator[](size_t index) const { return *items_[index]; }
  void Clear() {
    items_.clear();
    byName_.clear();
  }

  // Indexes, in list order, of the named entries whose match key (NameMatchKey of the stored
  // path) is `key`. The index is built on first use, so looking up every slide of a large
  // package stays linear.
  const std::vector<size_t>& IndexesWithKey(const std::string& key);

 private:
  std::vector<std::unique_ptr<ZipEntry>> items_;
  std::unordered_map<std::string, std::vector<size_t>> byName_;
  bool indexed_ = false;
  bool sorted_ = true;
};

}  // namespace dkscr
