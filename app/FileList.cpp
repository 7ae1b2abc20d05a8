#include "app/FileList.h"

#include "app/KelFileFind.h"

namespace dkscr {

const std::u16string& TFileListEntry::SubItem(size_t index) const {
  static const std::u16string kEmpty;
  return index < SubItems.size() ? SubItems[index] : kEmpty;
}

void TFileListEntry::SetSubItem(size_t index, std::u16string text) {
  if (index >= SubItems.size()) SubItems.resize(index + 1);
  SubItems[index] = std::move(text);
}

TFileListEntry& TFileList::Add(TFileListEntry entry) {
  entries_.push_back(std::move(entry));
  return entries_.back();
}

void TFileList::Delete(size_t index) {
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
}

size_t TFileList::FindSource(std::u16string_view path) const {
  const std::u16string wanted = UpperCaseText(path);
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (UpperCaseText(entries_[i].SubItem(kSubItemSourceFile)) == wanted) return i;
  }
  return npos;
}

}  // namespace dkscr
