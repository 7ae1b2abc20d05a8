#pragma once
// The main window's file list as data: one entry per presentation, with its state, an
// (unused) caption and its column texts. The window shows it; this class knows no window.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace dkscr {

// Entry state, also the index of the entry's icon.
inline constexpr int32_t kStateNew = 0;
inline constexpr int32_t kStateConverted = 1;
inline constexpr int32_t kStateFailed = 2;

// Indexes into TFileListEntry::SubItems (columns 1 to 6 of the list).
enum TSubItem : size_t {
  kSubItemName = 0,
  kSubItemSourceFile = 1,
  kSubItemSize = 2,
  kSubItemType = 3,
  kSubItemTargetFile = 4,
  kSubItemMessage = 5,
  kSubItemCount = 6,
};

struct TFileListEntry {
  int32_t State = kStateNew;
  std::u16string Caption;
  std::vector<std::u16string> SubItems;

  // The text of a column; empty for a column the entry does not carry (a loaded entry may
  // have fewer texts).
  const std::u16string& SubItem(size_t index) const;
  // Sets a column text, adding empty texts before it when needed.
  void SetSubItem(size_t index, std::u16string text);

  bool operator==(const TFileListEntry&) const = default;
};

class TFileList {
 public:
  size_t Count() const { return entries_.size(); }
  bool Empty() const { return entries_.empty(); }
  TFileListEntry& operator[](size_t index) { return entries_[index]; }
  const TFileListEntry& operator[](size_t index) const { return entries_[index]; }
  std::vector<TFileListEntry>& Entries() { return entries_; }
  const std::vector<TFileListEntry>& Entries() const { return entries_; }

  TFileListEntry& Add(TFileListEntry entry = {});
  void Delete(size_t index);
  void Clear() { entries_.clear(); }

  // Index of the entry whose "Source file" equals `path` ignoring case, or npos.
  size_t FindSource(std::u16string_view path) const;

  static constexpr size_t npos = static_cast<size_t>(-1);

 private:
  std::vector<TFileListEntry> entries_;
};

}  // namespace dkscr
