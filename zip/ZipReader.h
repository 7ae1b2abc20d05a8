#pragma once
// The ZIP archive reader: reads an archive's directory (rebuilding it from the local headers
// when the central directory is damaged) and extracts entries by name into memory, inflating
// them and checking their CRC-32.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ByteSource.h"
#include "zip/ZipDirectory.h"
#include "zip/ZipErrors.h"

namespace dkscr {

class ZipReader {
 public:
  // Entries declaring more than this many uncompressed bytes are never extracted.
  static constexpr uint32_t kMaxEntrySize = 256u << 20;
  static constexpr uint64_t kUnbounded = UINT64_MAX;

  // Reads the archive the source holds; the caller keeps the source open for the reader's
  // whole life, and every operation reads it through a position of its own. A self-extracting
  // archive's recovery scan starts past the extractor's program.
  explicit ZipReader(ByteSource& source, bool selfExtracting = false);
  ~ZipReader();
  ZipReader(const ZipReader&) = delete;
  ZipReader& operator=(const ZipReader&) = delete;

  // Reads the directory. A source without an end record gives an empty directory. Raises
  // ZipDamagedError when neither the directory nor a local header can be read.
  void LoadDirectory();
  // Entries in the directory; 0 when none has been read.
  int EntryCount() const;

  // Appends to stream the data of every entry whose stored path matches name (ASCII case and
  // "/" versus "\" ignored) and returns how many passed their CRC check. 0 for a blank name.
  // Reads the directory first when it has not been read. Raises ZipDamagedError,
  // ZipTruncatedError, ZipWriteError, ZipTooLargeError, and std::bad_alloc when memory runs
  // out.
  int ExtractToStream(std::string& stream, std::string_view name);

  // Whether an entry's stored path matches the name, as ExtractToStream matches it.
  bool HasEntry(std::string_view name);
  // The indexes in Entries() of the entries whose stored paths match the name, as
  // ExtractToStream matches them, in list order, into `indexes`; none for a blank name.
  void FindEntries(std::string_view name, std::vector<size_t>& indexes);

  // Appends entry `index` of Entries() to the stream, as ExtractToStream does for one match;
  // whether it passed its CRC check.
  bool ExtractEntryToStream(size_t index, std::string& stream);

  // Bytes that extraction may still produce, all entries together. An entry that would pass it
  // raises ZipTooLargeError, with what it decoded left in the stream. Unbounded unless set.
  void SetOutputBudget(uint64_t bytes) { outputBudget_ = bytes; }
  uint64_t OutputBudget() const { return outputBudget_; }

  // The directory last read, for inspection; Entries() is nullptr when there is none.
  const ZipEndRecord& EndRecord() const { return endRecord_; }
  const ZipDirectory* Entries() const { return entries_.get(); }
  // Whether the directory was rebuilt from local headers.
  bool Recovered() const { return recovering_; }

 private:
  void ReadDirectory();
  bool FindEndRecord();
  bool FindEndRecordIn(const uint8_t* tail, size_t window, uint64_t size);
  void ReadZip64EndRecord();
  bool ReadCentralRecords(uint64_t count, bool matchRecovered);
  bool ReadUncountedCentralRecords();
  bool ReadCentralRecord(bool matchRecovered);
  void Recover();
  bool ExtractEntry(const ZipEntryData& entry, std::string& stream);
  void InflateSmall(uint64_t packedSize, std::string& stream, size_t limit, size_t sizeHint);

  std::unique_ptr<ByteSource> file_;
  bool selfExtracting_ = false;
  std::unique_ptr<ZipDirectory> entries_;
  ZipEndRecord endRecord_;
  bool recovering_ = false;
  uint64_t outputBudget_ = kUnbounded;
  std::vector<size_t> matching_;  // reused from look-up to look-up

  // Small deflated entries decoded lately, by their compressed bytes: a package holds many
  // that are alike byte for byte (the relationships of slides that only name their layout, of
  // the layouts of one master), and an entry alike to one of them decodes to its data. Only
  // entries that small are kept: larger parts (slides, notes) rarely repeat.
  struct RecentEntry {
    std::string packed;
    std::string data;
  };
  static constexpr uint64_t kRecentPackedBytes = 256;
  static constexpr size_t kRecentDataBytes = 16384;
  std::array<RecentEntry, 4> recent_;
  size_t nextRecent_ = 0;  // the one replaced next
  std::string packed_;  // a small entry's compressed bytes
};

}  // namespace dkscr
