#pragma once
// Ordering of the file list by a column, and the direction marker on column captions.
#include <cstdint>
#include <string>
#include <string_view>

namespace dkscr {

inline constexpr std::u16string_view kSortUpMarker = u"(->)";
inline constexpr std::u16string_view kSortDownMarker = u"(<-)";

// A caption without its direction marker (a caption starting with "(" loses four characters).
std::u16string StripSortMarker(std::u16string_view caption);

// The caption with the marker of the direction in front.
std::u16string MarkSortCaption(std::u16string_view caption, bool ascending);

// Size text as a number; texts that are not numbers (a damaged job file) come before all sizes.
int64_t SizeKey(std::u16string_view text);

// Text comparison that folds only the letters A-Z.
int CompareTextAsciiNoCase(std::u16string_view a, std::u16string_view b);

// Ascending comparison of two entries for one column: the state for column 0, the size for
// column 3, the column text otherwise. text* are the entries' texts of that column.
int CompareColumn(int column, int32_t stateA, std::u16string_view textA, int32_t stateB,
                  std::u16string_view textB);

// Sorting state of the list: which column was sorted last and which way the next sort goes.
class TSortState {
 public:
  // Records a click on a column; returns true when this sort is ascending.
  bool Click(int column);
  int Column() const { return FSortColumn; }
  bool NextAscending() const { return FSortAscending; }

 private:
  int FSortColumn = -1;
  bool FSortAscending = true;
};

}  // namespace dkscr
