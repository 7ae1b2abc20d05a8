#include "ppt/PersistDirectory.h"

#include "ppt/PptRecords.h"

namespace dkscr {

void PersistDirectory::AppendBlock(const uint8_t* data, size_t bytes) {
  PPSDirEntry block;
  block.words.resize(bytes / 4);
  for (size_t i = 0; i < block.words.size(); ++i) block.words[i] = LoadLe32(data + 4 * i);
  words_ += block.words.size();
  blocks_.push_back(std::move(block));
  indexed_ = false;
}

void PersistDirectory::BuildIndex() {
  index_.clear();
  index_.reserve(words_);
  for (const PPSDirEntry& block : blocks_) {
    size_t i = 0;
    while (i < block.count()) {
      const uint32_t entry = block.words[i];
      const uint32_t first = entry & 0xFFFFF;
      const uint32_t n = entry >> 20;
      // Only offsets the block really holds: a run reaching past its end is cut there.
      for (uint32_t k = 0; k < n && i + 1 + k < block.count(); ++k) {
        index_.emplace(first + k, block.words[i + 1 + k]);  // keeps an earlier (newer) offset
      }
      i += static_cast<size_t>(n) + 1;
    }
  }
  indexed_ = true;
}

uint32_t PersistDirectory::LookupPersistOffset(uint32_t persistId) {
  if (!indexed_) BuildIndex();
  const auto it = index_.find(persistId);
  return it == index_.end() ? kNoPersistOffset : it->second;
}

}  // namespace dkscr
