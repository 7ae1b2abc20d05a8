#include "app/ListSort.h"

#include <limits>

namespace dkscr {

std::u16string StripSortMarker(std::u16string_view caption) {
  if (!caption.empty() && caption.front() == u'(')
    return std::u16string(caption.substr(caption.size() < 4 ? caption.size() : 4));
  return std::u16string(caption);
}

std::u16string MarkSortCaption(std::u16string_view caption, bool ascending) {
  std::u16string out(ascending ? kSortUpMarker : kSortDownMarker);
  out += caption;
  return out;
}

int64_t SizeKey(std::u16string_view text) {
  // Sizes are written by us in plain decimal; anything else is not a size.
  if (text.empty() || text.size() > 19) return -1;
  int64_t value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return -1;
    value = value * 10 + (c - u'0');
  }
  return value;
}

int CompareTextAsciiNoCase(std::u16string_view a, std::u16string_view b) {
  auto fold = [](char16_t c) -> char16_t { return (c >= u'a' && c <= u'z') ? c - 32 : c; };
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    const char16_t ca = fold(a[i]);
    const char16_t cb = fold(b[i]);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

int CompareColumn(int column, int32_t stateA, std::u16string_view textA, int32_t stateB,
                  std::u16string_view textB) {
  if (column == 0) return stateA < stateB ? -1 : (stateA > stateB ? 1 : 0);
  if (column == 3) {
    const int64_t a = SizeKey(textA);
    const int64_t b = SizeKey(textB);
    return a < b ? -1 : (a > b ? 1 : 0);
  }
  return CompareTextAsciiNoCase(textA, textB);
}

bool TSortState::Click(int column) {
  if (column != FSortColumn) FSortAscending = true;
  const bool ascending = FSortAscending;
  FSortColumn = column;
  FSortAscending = !FSortAscending;
  return ascending;
}

}  // namespace dkscr
