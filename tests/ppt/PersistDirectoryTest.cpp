// Persist id -> offset over the directories of several saves.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ppt/PersistDirectory.h"

namespace dkscr {
namespace {

std::string Words(const std::vector<uint32_t>& words) {
  std::string b;
  for (uint32_t w : words) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<char>((w >> (8 * i)) & 0xFF));
  }
  return b;
}

void Add(PersistDirectory& dir, const std::string& bytes) {
  dir.AppendBlock(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

constexpr uint32_t RunOf(uint32_t first, uint32_t count) { return first | (count << 20); }

TEST(PersistDirectory, OneSaveResolvesEveryRun) {
  PersistDirectory dir;
  Add(dir, Words({RunOf(1, 3), 100, 200, 300, RunOf(10, 0), RunOf(7, 1), 700}));
  EXPECT_EQ(dir.LookupPersistOffset(1), 100u);
  EXPECT_EQ(dir.LookupPersistOffset(3), 300u);
  EXPECT_EQ(dir.LookupPersistOffset(7), 700u);  // found after a run of length 0
  EXPECT_EQ(dir.LookupPersistOffset(10), kNoPersistOffset);
  EXPECT_EQ(dir.LookupPersistOffset(4), kNoPersistOffset);
  EXPECT_EQ(dir.LookupPersistOffset(0), kNoPersistOffset);
}

TEST(PersistDirectory, NewestSaveWinsAndOlderIdsStillResolve) {
  PersistDirectory dir;
  Add(dir, Words({RunOf(2, 1), 2000}));            // newest
  Add(dir, Words({RunOf(1, 3), 10, 20, 30}));      // oldest
  EXPECT_EQ(dir.LookupPersistOffset(2), 2000u);
  EXPECT_EQ(dir.LookupPersistOffset(1), 10u);
  EXPECT_EQ(dir.LookupPersistOffset(3), 30u);
  EXPECT_EQ(dir.Blocks().size(), 2u);
}

TEST(PersistDirectory, FirstRunWinsWithinOneSave) {
  PersistDirectory dir;
  Add(dir, Words({RunOf(5, 1), 55, RunOf(5, 1), 66}));
  EXPECT_EQ(dir.LookupPersistOffset(5), 55u);
}

TEST(PersistDirectory, OnlyWholeWordsThatExistAreUsed) {
  PersistDirectory dir;
  // Two trailing bytes dropped; the run claims 4 ids but holds offsets for 2 of them.
  std::string newest = Words({RunOf(1, 4), 111, 222}) + "\x01\x02";
  Add(dir, newest);
  Add(dir, Words({RunOf(3, 2), 333, 444}));
  EXPECT_EQ(dir.Blocks()[0].count(), 3u);
  EXPECT_EQ(dir.LookupPersistOffset(1), 111u);
  EXPECT_EQ(dir.LookupPersistOffset(2), 222u);
  EXPECT_EQ(dir.LookupPersistOffset(3), 333u);  // not in the newest block's words: the older one
  EXPECT_EQ(dir.LookupPersistOffset(4), 444u);
}

TEST(PersistDirectory, LargestIdsAndCounts) {
  PersistDirectory dir;
  std::vector<uint32_t> words = {RunOf(0xFFFFF, 4095)};
  for (uint32_t i = 0; i < 4095; ++i) words.push_back(i);
  Add(dir, Words(words));
  EXPECT_EQ(dir.LookupPersistOffset(0xFFFFF), 0u);
  EXPECT_EQ(dir.LookupPersistOffset(0xFFFFF + 4094), 4094u);
  EXPECT_EQ(dir.LookupPersistOffset(0xFFFFF + 4095), kNoPersistOffset);
}

}  // namespace
}  // namespace dkscr
