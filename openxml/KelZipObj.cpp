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

bool TZipEntryList::Add(std::unique_ptr<TZipEntryInfo> entry) {
  byName_.clear();
  indexed_ = false;
  const auto key = [](const TZipEntryInfo& e) {
    return std::make_tuple(e.DiskNumberStart, e.LocalHeaderOffset);
  };
  // Archives list their entries in order, so the usual place is the end.
  if (items_.empty() || key(*items_.back()) < key(*entry)) {
    items_.push_back(std::move(entry));
    return true;
  }
  const auto at = std::lower_bound(items_.begin(), items_.end(), key(*entry),
                                   [&](const std::unique_ptr<TZipEntryInfo>& item, const auto& k) {
                                     return key(*item) < k;
                                   });
  if (at != items_.end() && key(**at) == key(*entry)) return false;
  items_.insert(at, std::move(entry));
  return true;
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

TZipEntryInfo* TZipEntryList::Find(uint16_t diskNumberStart, uint32_t localHeaderOffset) {
  const auto k = std::make_tuple(diskNumberStart, localHeaderOffset);
  const auto at = std::lower_bound(
      items_.begin(), items_.end(), k, [](const std::unique_ptr<TZipEntryInfo>& item, const auto& key) {
        return std::make_tuple(item->DiskNumberStart, item->LocalHeaderOffset) < key;
      });
  if (at == items_.end() || (*at)->DiskNumberStart != diskNumberStart ||
      (*at)->LocalHeaderOffset != localHeaderOffset) {
    return nullptr;
  }
  return at->get();
}

}  // namespace dkscr
