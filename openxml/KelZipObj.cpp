#include "openxml/KelZipObj.h"

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
