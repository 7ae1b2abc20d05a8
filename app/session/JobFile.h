#pragma once
// The job file that keeps the file list from one run of the program to the next, read and
// written as records: a record is what the file holds for one entry.
//
// Current format "LFW" (the only one written), all integers little-endian:
//   "LFW", entry count N (u16), then N records of
//   S (u16, number of column texts), state (i32), caption, S column texts,
// each text being a byte count L (u16) and L bytes of UTF-16LE. The older format "LVF" is
// the same with 8-bit texts in the system's code page, each ending early at a zero byte;
// it is still read.
#include <cstddef>
#include <string>
#include <string_view>

#include <cstdint>
#include <vector>

namespace dkscr {

// One entry as the file holds it: its state, an (unused) caption and its column texts ("Name",
// "Source file", "Size(Byte)", "Type", "Target file", "Convert Message").
struct JobRecord {
  int32_t state = 0;
  std::u16string caption;
  std::vector<std::u16string> texts;

  bool operator==(const JobRecord&) const = default;
};

inline constexpr size_t kMaxJobEntries = 65535;
inline constexpr size_t kMaxJobTexts = 65535;        // column texts per entry
inline constexpr size_t kMaxJobTextUnits = 32767;    // UTF-16 code units per text

enum class JobFileLoadStatus {
  Loaded,      // every entry the file announced was read
  Damaged,     // the file ended early: the entries read completely were loaded
  Missing,     // no such file: the list is untouched
  UnknownTag,  // neither "LFW" nor "LVF": the list is untouched
  ReadError,   // the file exists but cannot be read: the list is untouched
};

struct JobFileLoadResult {
  JobFileLoadStatus status = JobFileLoadStatus::Missing;
  size_t records = 0;  // records now in the list after a load
};

struct JobFileSaveResult {
  int error = 0;              // 0, or the errno when the file could not be written
  size_t droppedRecords = 0;  // records beyond the format's 65535 that were not saved
  size_t cutTexts = 0;        // texts shortened to 32767 code units, or fields dropped
  bool Ok() const { return error == 0; }
};

// The whole list in the current format. Entries beyond 65535 are left out, texts longer than
// 32767 code units are cut there (never inside a surrogate pair), and column texts beyond
// 65535 are left out, so the file is always well formed; the result counts what was cut.
std::string SerializeJobFile(const std::vector<JobRecord>& records, JobFileSaveResult* result = nullptr);

// Reads a job file's bytes ("LFW" or "LVF") into the list, as LoadJobFile does.
JobFileLoadResult ParseJobFile(std::string_view bytes, std::vector<JobRecord>& records);

// Writes the list to `path`, replacing an earlier file atomically: a failure leaves the
// earlier file as it was.
JobFileSaveResult SaveJobFile(const std::vector<JobRecord>& records, const std::u16string& path);
// Replaces the list with the file's entries when the file exists and carries a known tag.
// A file that ends early, or whose counts do not match, gives the entries read completely.
JobFileLoadResult LoadJobFile(std::vector<JobRecord>& records, const std::u16string& path);
// Whether a load left a file behind that the next save must not replace unseen: it could
// not be read, or ended early, or carries an unknown tag.
bool LeftUnreadFile(JobFileLoadStatus status);

// Renames a file that could not be read to a free name beside it ("<name>.bak", then
// "<name>.bak2", ...), so that the next save does not destroy it. Returns the new path, or an
// empty one with `error` set to the errno when the file could not be renamed.
std::u16string KeepAsBackup(const std::u16string& path, int& error);

// The same for a file in the older format only.
JobFileLoadResult LoadJobFileAnsi(std::vector<JobRecord>& records, const std::u16string& path);

}  // namespace dkscr
