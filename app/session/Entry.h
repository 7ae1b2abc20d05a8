#pragma once
// One presentation in the session's list: where it is, what it becomes, and how its last
// conversion went. Plain values; the session keeps them in list order.
#include <cstdint>
#include <string>

namespace dkscr {

// An entry's state; also the number the job file stores and the index of the entry's icon.
// A loaded job file may bring other numbers, which count as none of the three.
enum class EntryState : int32_t { kNew = 0, kConverted = 1, kFailed = 2 };

struct Entry {
  std::u16string source;   // the path exactly as it was added
  int64_t size = 0;        // bytes, taken when added (0 when not found); -1 when unknown
  std::u16string kind;     // the file type's tag, "PPT" or "PPTX": chooses the converter
  std::u16string target;   // where the text goes; every run computes it again
  EntryState state = EntryState::kNew;
  std::u16string message;  // the last run's outcome, in English; shown translated

  bool operator==(const Entry&) const = default;
};

// The columns of the list, left to right; the session sorts by them.
enum EntryColumn : int {
  kColState = 0,
  kColName = 1,
  kColSource = 2,
  kColSize = 3,
  kColType = 4,
  kColTarget = 5,
  kColMessage = 6,
  kColumnCount = 7,
};

}  // namespace dkscr
