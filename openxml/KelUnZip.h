#pragma once
// The ZIP archive reader: reads an archive's directory (rebuilding it from the local headers
// when the central directory is damaged) and extracts entries by name into memory, inflating
// them and checking their CRC-32.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/ByteSource.h"
#include "openxml/KelZipObj.h"
#include "openxml/ZipErrors.h"
#include "openxml/ZipHostHooks.h"

namespace dkscr {


class TKelUnZip {
 public:
  // Entries declaring more than this many uncompressed bytes are never extracted.
  static constexpr uint32_t kMaxEntrySize = 256u << 20;
  static constexpr uint64_t kUnbounded = UINT64_MAX;

  TKelUnZip();
  ~TKelUnZip();
  TKelUnZip(const TKelUnZip&) = delete;
  TKelUnZip& operator=(const TKelUnZip&) = delete;

  const std::u16string& ZipName() const { return zipName_; }
  // A path equal to the current one without regard to case keeps the directory when it names
  // the same file; any other path drops all archive state.
  void SetZipName(std::u16string_view name);
  // Reads the archive from memory instead of a file; the bytes must outlive the reader's use
  // of them. Drops all archive state; a later SetZipName returns to files.
  void SetZipImage(std::string_view image);

  // Makes sure the directory of ZipName is read and current. A file without an end record
  // gives an empty directory. Raises EZipOpenError, EZipBadFile (ZipName is then cleared).
  void LoadDirectory();
  // Entries in the directory; 0 when none has been read.
  int EntryCount() const;

  // Appends to stream the data of every entry whose stored path matches name (ASCII case and
  // "/" versus "\" ignored) and returns how many passed their CRC check. 0 for a blank name.
  // Raises EZipOpenError, EZipBadFile, EZipFatal, EZipCantWrite, EZipTooLarge, and
  // std::bad_alloc when memory runs out.
  int ExtractToStream(std::string& stream, std::string_view name);

  // Appends entry `index` of Entries() to the stream, as ExtractToStream does for one match;
  // whether it passed its CRC check. Uses the list as it stands, without checking the file.
  bool ExtractEntryToStream(size_t index, std::string& stream);

  // While set, the archive file stays open from one operation to the next, and an operation
  // on the open file does not look at the file's time stamp again; clearing it closes the file.
  bool KeepZipOpen() const { return keepZipOpen_; }
  void SetKeepZipOpen(bool keep);

  // Bytes that extraction may still produce, all entries together. An entry that would pass it
  // raises EZipTooLarge, with what it decoded left in the stream. Unbounded unless set.
  void SetOutputBudget(uint64_t bytes) { outputBudget_ = bytes; }
  uint64_t OutputBudget() const { return outputBudget_; }

  // Lets the host process messages while entries are decompressed.
  bool DoProcessMessages = true;
  // What this reader asks of its host; unset hooks do nothing.
  ZipHostHooks Hooks;

  // The directory last read, for inspection; Entries() is nullptr when there is none.
  const TZipEndRecord& EndRecord() const { return endRecord_; }
  const TZipEntryList* Entries() const { return entries_.get(); }
  // Whether the directory was rebuilt from local headers.
  bool Recovered() const { return recovering_; }

 private:
  struct FileStamp {
    bool valid = false;
    int64_t mtimeSec = 0;
    int64_t mtimeNsec = 0;
    uint64_t size = 0;
    uint64_t device = 0;
    uint64_t inode = 0;
    bool operator==(const FileStamp&) const = default;
  };

  void DropArchiveState();
  // Whether the file had to be opened (false: it was kept open).
  bool OpenArchive();
  void CloseArchive();
  void EnsureDirectory();
  void ReadDirectory();
  bool FindEndRecord();
  void ReadZip64EndRecord();
  bool ReadCentralRecords(uint64_t count, bool matchRecovered);
  bool ReadUncountedCentralRecords();
  bool ReadCentralRecord(bool matchRecovered);
  void Recover();
  bool ExtractEntry(TZipEntryInfo& entry, std::string& stream);
  void PumpMessages() const;

  std::u16string zipName_;
  std::optional<std::string_view> image_;
  std::unique_ptr<ByteSource> file_;
  std::unique_ptr<TZipEntryList> entries_;
  TZipEndRecord endRecord_;
  FileStamp stamp_;
  bool recovering_ = false;
  bool keepZipOpen_ = false;
  uint64_t outputBudget_ = kUnbounded;
};

}  // namespace dkscr
