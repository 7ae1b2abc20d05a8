#include "app/session/EntryOrder.h"

#include <QCollatorSortKey>
#include <QString>
#include <algorithm>
#include <numeric>

#include "app/session/FileNames.h"

namespace dkscr {
namespace {

const std::u16string& TextOf(const Entry& entry, int column, std::u16string& scratch) {
  switch (column) {
    case kColName: return scratch = std::u16string(FileNamePart(entry.source));
    case kColSource: return entry.source;
    case kColType: return entry.kind;
    case kColTarget: return entry.target;
    default: return entry.message;
  }
}

// Numbers first, then texts; each entry's key is made once, not once per comparison.
template <typename Key>
std::vector<int> StableOrder(const std::vector<Key>& keys, bool ascending) {
  std::vector<int> order(keys.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const Key& ka = keys[size_t(a)];
    const Key& kb = keys[size_t(b)];
    return ascending ? ka < kb : kb < ka;
  });
  return order;
}

#ifdef _WIN32
// Qt 6.4's sort keys on Windows hold bytes the system never wrote (the key's length is
// counted in bytes, its buffer in characters), so two equal texts may get different keys:
// there the collator compares the texts themselves.
struct TextKey {
  QString text;
  const QCollator* collator;
  bool operator<(const TextKey& other) const { return collator->compare(text, other.text) < 0; }
};
#else
struct TextKey {
  QCollatorSortKey key;
  bool operator<(const TextKey& other) const { return key.compare(other.key) < 0; }
};
#endif

}  // namespace

// The C locale collates by code points, capitals first; its users get the common order of
// Latin letters instead (that of English).
EntryOrder::EntryOrder(const QLocale& locale)
    : collator_(locale.language() == QLocale::C ? QLocale(QLocale::English) : locale) {
  collator_.setCaseSensitivity(Qt::CaseInsensitive);
  collator_.setNumericMode(true);  // "talk 9" before "talk 10", as file managers sort
}

std::vector<int> EntryOrder::Sorted(const std::vector<Entry>& entries, int column,
                                    bool ascending) const {
  if (column == kColState || column == kColSize) {
    std::vector<int64_t> keys;
    keys.reserve(entries.size());
    for (const Entry& e : entries)
      keys.push_back(column == kColState ? int64_t(e.state) : e.size);
    return StableOrder(keys, ascending);
  }
  std::vector<TextKey> keys;
  keys.reserve(entries.size());
  std::u16string scratch;
  for (const Entry& e : entries) {
    const QString text = QString::fromStdU16String(TextOf(e, column, scratch));
#ifdef _WIN32
    keys.push_back({text, &collator_});
#else
    keys.push_back({collator_.sortKey(text)});
#endif
  }
  return StableOrder(keys, ascending);
}

int64_t ParseSize(std::u16string_view text) {
  // Sizes are written by us in plain decimal; anything else is not a size.
  if (text.empty() || text.size() > 18) return -1;
  int64_t value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return -1;
    value = value * 10 + (c - u'0');
  }
  return value;
}

}  // namespace dkscr
