#include "zip/ZipDirectory.h"

#include "zip/ZipNames.h"

#include <algorithm>
#include <tuple>

namespace dkscr {

void ZipEntry::SetStoredPath(std::string_view path) {
  const size_t slash = path.rfind('\\');
  if (slash == std::string_view::npos) {
    directory.clear();
    fileName.assign(path);
  } else {
    directory.assign(path.substr(0, slash + 1));
    fileName.assign(path.substr(slash + 1));
  }
}

namespace {

auto PositionKey(const ZipEntry& e) {
  return std::make_tuple(e.diskNumberStart, e.localHeaderOffset);
}

}  // namespace

void ZipDirectory::Append(std::unique_ptr<ZipEntry> entry) {
  byName_.clear();
  indexed_ = false;
  // Archives list their entries in order, so sorting is mostly not needed.
  if (!items_.empty() && !(PositionKey(*items_.back()) < PositionKey(*entry))) sorted_ = false;
  items_.push_back(std::move(entry));
}

bool ZipDirectory::SortByPosition() {
  if (sorted_) return true;
  std::stable_sort(items_.begin(), items_.end(),
                   [](const std::unique_ptr<ZipEntry>& a, const std::unique_ptr<ZipEntry>& b) {
                     return PositionKey(*a) < PositionKey(*b);
                   });
  sorted_ = true;
  byName_.clear();
  indexed_ = false;
  const auto twin = std::adjacent_find(
      items_.begin(), items_.end(),
      [](const std::unique_ptr<ZipEntry>& a, const std::unique_ptr<ZipEntry>& b) {
        return PositionKey(*a) == PositionKey(*b);
      });
  return twin == items_.end();
}

const std::vector<size_t>& ZipDirectory::IndexesWithKey(const std::string& key) {
  if (!indexed_) {
    byName_.clear();
    for (size_t i = 0; i < items_.size(); ++i) {
      const ZipEntry& e = *items_[i];
      if (!e.fileName.empty()) byName_[NameMatchKey(e.StoredPath())].push_back(i);
    }
    indexed_ = true;
  }
  static const std::vector<size_t> kNone;
  const auto it = byName_.find(key);
  return it == byName_.end() ? kNone : it->second;
}

ZipEntry* ZipDirectory::Find(uint32_t diskNumberStart, uint64_t localHeaderOffset) {
  const auto k = std::make_tuple(diskNumberStart, localHeaderOffset);
  const auto at = std::lower_bound(
      items_.begin(), items_.end(), k, [](const std::unique_ptr<ZipEntry>& item, const auto& key) {
        return PositionKey(*item) < key;
      });
  if (at == items_.end() || (*at)->diskNumberStart != diskNumberStart ||
      (*at)->localHeaderOffset != localHeaderOffset) {
    return nullptr;
  }
  return at->get();
}

}  // namespace dkscr
