#pragma once
// The persist directory of a presentation: persist id -> offset in the document stream,
// assembled from the directories of every save, the newest first.
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace dkscr {

inline constexpr uint32_t kNoPersistOffset = 0xFFFFFFFF;

// One save's directory: its data as whole little-endian words.
struct PPSDirEntry {
  std::vector<uint32_t> words;
  size_t count() const { return words.size(); }
};

class PersistDirectory {
 public:
  // Appends an older save's directory from its bytes; a trailing partial word is dropped.
  void AppendBlock(const uint8_t* data, size_t bytes);
  // Offset of the object, or kNoPersistOffset when no block covers the id. The newest block
  // that covers an id wins; within a block, the first run that covers it.
  uint32_t LookupPersistOffset(uint32_t persistId);
  const std::vector<PPSDirEntry>& Blocks() const { return blocks_; }

 private:
  void BuildIndex();

  std::vector<PPSDirEntry> blocks_;
  size_t words_ = 0;
  // Built on the first lookup, so that a lookup costs the same however many runs there are.
  std::unordered_map<uint32_t, uint32_t> index_;
  bool indexed_ = false;
};

}  // namespace dkscr
