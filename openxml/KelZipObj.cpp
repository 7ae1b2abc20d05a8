#include "openxml/KelZipObj.h"

#include "openxml/ZipNames.h"

#include <algorithm>
#include <tuple>

namespace dkscr {

void TZipEntryInfo::SetStoredPath(std::string_view path) {
  const size_t slash = path.rfind('\\');
  if (slash == std::string_view::npos) {
    Directory.clear();
    FileName.assign(path);
  } else {
    Directory.assign(path.substr(0, slash + 1));
    FileName.assign(path.substr(slash + 1));
  }
}

namespace {

auto PositionKey(const TZipEntryInfo& e) {
  return std::make_tuple(e.DiskNumberStart, e.LocalHeaderOffset);
}

}  // namespace

void TZipEntryList::Append(std::unique_ptr<TZipEntryInfo> entry) {
  byName_.clear();
  indexed_ = false;
  // Archives list their entries in order, so sorting is mostly not needed.
  if (!items_.empty() && !(PositionKey(*items_.back()) < PositionKey(*entry))) sorted_ = false;
  items_.push_back(std::move(entry));
}

bool TZipEntryList::SortByPosition() {
  if (sorted_) return true;
  std::stable_sort(items_.begin(), items_.end(),
                   [](const std::unique_ptr<TZipEntryInfo>& a, const std::unique_ptr<TZipEntryInfo>& b) {
                     return PositionKey(*a) < PositionKey(*b);
                   });
  sorted_ = true;
  byName_.clear();
  indexed_ = false;
  const auto twin = std::adjacent_find(
      items_.begin(), items_.end(),
      [](const std::unique_ptr<TZipEntryInfo>& a, const std::unique_ptr<TZipEntryInfo>& b) {
        return PositionKey(*a) == PositionKey(*b);
      });
  return twin == items_.end();
}

const std::vector<size_t>& TZipEntryList::IndexesWithKey(const std::string& key) {
  if (!indexed_) {
    byName_.clear();
    for (size_t i = 0; i < items_.size(); ++i) {
      const TZipEntryInfo& e = *items_[i];
      if (!e.FileName.empty()) byName_[NameMatchKey(e.StoredPath())].push_back(i);
    }
    indexed_ = true;
  }
  static const std::vector<size_t> kNone;
  const auto it = byName_.find(key);
  return it == byName_.end() ? kNone : it->second;
}

TZipEntryInfo* TZipEntryList::Find(uint32_t diskNumberStart, uint64_t localHeaderOffset) {
  const auto k = std::make_tuple(diskNumberStart, localHeaderOffset);
  const auto at = std::lower_bound(
      items_.begin(), items_.end(), k, [](const std::unique_ptr<TZipEntryInfo>& item, const auto& key) {
        return PositionKey(*item) < key;
      });
  if (at == items_.end() || (*at)->DiskNumberStart != diskNumberStart ||
      (*at)->LocalHeaderOffset != localHeaderOffset) {
    return nullptr;
  }
  return at->get();
}

}  // namespace dkscr
