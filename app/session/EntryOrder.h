#pragma once
// The order of the list by a column's values: states by their number, sizes as numbers, and
// texts by the user's collation (letter case ignored, digits read as numbers), never by what
// a translation shows, so the order is the same in every language of the windows.
#include <QCollator>
#include <QLocale>
#include <vector>

#include "app/session/Entry.h"

namespace dkscr {

class EntryOrder {
 public:
  // Texts are collated by the conventions of `locale`.
  explicit EntryOrder(const QLocale& locale);

  // The rows of `entries` in the order of `column` (an EntryColumn), stable: entries with
  // equal keys keep their order, in either direction.
  std::vector<int> Sorted(const std::vector<Entry>& entries, int column, bool ascending) const;

 private:
  QCollator collator_;
};

// The number of a size text as the job file keeps it; -1 for a text that is not a size.
int64_t ParseSize(std::u16string_view text);

}  // namespace dkscr
