// Reading a source for a record: SHA-256 with the processor's extensions against the
// portable code, and a file read whole once, its digest taken from the very bytes converted.
#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "batch/Sha256Blocks.h"
#include "batch/SourceDigest.h"
#include "batch/WholeFileReader.h"
#include "tests/support/ScratchDir.h"

namespace dkscr {
namespace {

std::string RandomBytes(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

std::string ReadAllOf(ByteSource& source) {
  std::string bytes(static_cast<size_t>(source.Size()), '\0');
  bytes.resize(source.ReadAt(0, bytes.data(), bytes.size()));
  return bytes;
}

TEST(Sha256BlocksTest, ExtensionsGiveThePortableStateFromAnyState) {
  const Sha256BlocksFunction accelerated = Sha256BlocksAccelerated();
  if (accelerated == nullptr) GTEST_SKIP() << "no SHA extensions on this processor";
  const std::string data = RandomBytes(64 * 41, 1);
  std::mt19937 random(2);
  for (const size_t blocks : {1u, 2u, 3u, 16u, 41u}) {
    std::array<uint32_t, 8> portable;
    for (uint32_t& word : portable) word = static_cast<uint32_t>(random());
    std::array<uint32_t, 8> fast = portable;
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.data());
    Sha256BlocksPortable(portable.data(), bytes, blocks);
    accelerated(fast.data(), bytes, blocks);
    EXPECT_EQ(fast, portable) << blocks << " blocks";
  }
}

TEST(Sha256BlocksTest, TheDigestIsTheSameWhateverPiecesTheBytesComeIn) {
  const std::string bytes = RandomBytes(5000, 3);
  const std::string whole = Sha256Hex(bytes);
  for (const size_t piece : {1u, 55u, 63u, 64u, 65u, 128u, 1000u}) {
    Sha256 hash;
    for (size_t at = 0; at < bytes.size(); at += piece) hash.Update(bytes.data() + at, std::min(piece, bytes.size() - at));
    EXPECT_EQ(Sha256HexOf(hash.Finish()), whole) << piece;
  }
}

TEST(WholeFileReaderTest, ReadsOnceAndDigestsTheBytesItGaveToConvert) {
  test::ScratchDir dir;
  const std::string first = RandomBytes(70000, 4);
  const std::string path = dir.Write("deck.ppt", first);
  SourceBufferPool pool(2, 1 << 20);
  WholeFileReader reader(true, &pool);
  reader.Begin();
  int error = 0;
  const std::unique_ptr<ByteSource> source = reader.Open(path, error);
  ASSERT_TRUE(source);
  ASSERT_TRUE(reader.ReadWhole());
  // Replaced on disk after the read, the file changes neither the bytes converted nor the digest.
  dir.Write("deck.ppt", RandomBytes(first.size(), 5));
  EXPECT_EQ(ReadAllOf(*source), first);
  ASSERT_TRUE(reader.Digest());
  EXPECT_EQ(*reader.Digest(), Sha256Hex(first));

  // Handed over, the bytes go along; the next file takes a buffer of its own.
  SourceBuffer taken = reader.TakeBuffer();
  EXPECT_EQ(taken.Bytes(), first);
  reader.Begin();
  const std::string second = RandomBytes(100, 6);
  const std::unique_ptr<ByteSource> next = reader.Open(dir.Write("next.ppt", second), error);
  ASSERT_TRUE(next);
  EXPECT_EQ(ReadAllOf(*next), second);
  EXPECT_EQ(taken.Bytes(), first);
  EXPECT_EQ(*reader.Digest(), Sha256Hex(second));
  pool.Give(std::move(taken));

  // Nothing opened, no digest of an earlier file.
  reader.Begin();
  EXPECT_FALSE(reader.Open(dir.Path("missing.ppt"), error));
  EXPECT_EQ(error, ENOENT);
  EXPECT_FALSE(reader.Digest());
  reader.Begin();
  const std::unique_ptr<ByteSource> empty = reader.Open(dir.Write("empty.ppt", ""), error);
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->Size(), 0u);
  EXPECT_EQ(*reader.Digest(), Sha256Hex(""));
}

TEST(WholeFileReaderTest, LargerFilesConvertFromTheFileWithADigestReadInPieces) {
  test::ScratchDir dir;
  const std::string bytes = RandomBytes((3u << 20) + 17, 7);
  WholeFileReader reader(true, nullptr, 1u << 20);
  reader.Begin();
  int error = 0;
  const std::unique_ptr<ByteSource> source = reader.Open(dir.Write("big.pptx", bytes), error);
  ASSERT_TRUE(source);
  EXPECT_FALSE(reader.ReadWhole());
  EXPECT_EQ(ReadAllOf(*source), bytes);
  ASSERT_TRUE(reader.Digest());
  EXPECT_EQ(*reader.Digest(), Sha256Hex(bytes));

  WholeFileReader withoutDigest(false, nullptr, 1u << 20);
  withoutDigest.Begin();
  ASSERT_TRUE(withoutDigest.Open(dir.Path("big.pptx"), error));
  EXPECT_FALSE(withoutDigest.Digest());
}

TEST(SourceBufferPoolTest, GivesBackAKeptBufferLargeEnough) {
  SourceBufferPool pool(1, 4096);
  SourceBuffer small = pool.Take(1000);
  ASSERT_TRUE(small.data);
  const uint8_t* kept = small.data.get();
  pool.Give(std::move(small));
  EXPECT_GE(pool.Take(2000).capacity, 2000u);  // too small: another one
  SourceBuffer again = pool.Take(500);
  EXPECT_EQ(again.data.get(), kept);
  EXPECT_EQ(again.size, 0u);
}

}  // namespace
}  // namespace dkscr
