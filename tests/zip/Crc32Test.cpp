#include "zip/Crc32.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/ZipWriter.h"

namespace dkscr {
namespace {

const uint8_t* U8(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

TEST(Crc32Test, KnownValues) {
  EXPECT_EQ(Crc32(nullptr, 0), 0u);
  const std::string check = "123456789";
  EXPECT_EQ(Crc32(U8(check), check.size()), 0xCBF43926u);
}

// The definition, one bit at a time.
uint32_t BitwiseCrc32(const uint8_t* data, size_t size) {
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) {
    c ^= data[i];
    for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
  }
  return ~c;
}

std::string Pseudorandom(size_t size) {
  std::string data;
  uint32_t x = 12345;
  for (size_t i = 0; i < size; ++i) {
    x = x * 1103515245u + 12345u;
    data.push_back(static_cast<char>(x >> 24));
  }
  return data;
}

// Lengths around the folding path's minimum and its 16- and 64-byte steps, from every
// alignment of a 16-byte lane, by both paths.
TEST(Crc32Test, MatchesTheDefinitionAtEveryLengthAndAlignment) {
  const std::string data = Pseudorandom(316);
  for (size_t offset = 0; offset < 16; ++offset) {
    for (size_t length = 0; length + offset <= data.size() && length <= 300; ++length) {
      const uint32_t expected = BitwiseCrc32(U8(data) + offset, length);
      ASSERT_EQ(Crc32(U8(data) + offset, length), expected) << offset << "/" << length;
      ASSERT_EQ(~Crc32UpdatePortable(kCrc32Start, U8(data) + offset, length), expected)
          << offset << "/" << length;
    }
  }
  EXPECT_EQ(Crc32(U8(data), data.size()), test::ZlibCrc32(data));
}

// Registers that are not the start value enter the folding path too (every ZIP entry read in
// pieces passes one on), and long inputs run its main loop many times.
TEST(Crc32Test, PiecesOfALongInputGiveTheWholeCrc) {
  const std::string data = Pseudorandom(100000);
  const uint32_t whole = test::ZlibCrc32(data);
  EXPECT_EQ(Crc32(U8(data), data.size()), whole);
  EXPECT_EQ(~Crc32UpdatePortable(kCrc32Start, U8(data), data.size()), whole);
  for (const size_t cut : {1u, 63u, 64u, 65u, 4099u, 99936u}) {
    uint32_t running = Crc32Update(kCrc32Start, U8(data), cut);
    running = Crc32Update(running, U8(data) + cut, data.size() - cut);
    EXPECT_EQ(~running, whole) << cut;
  }
}

TEST(Crc32Test, RunningRegisterContinuesAcrossPieces) {
  const std::string data(1000, 'x');
  uint32_t running = kCrc32Start;
  running = Crc32Update(running, U8(data), 333);
  running = Crc32Update(running, U8(data) + 333, data.size() - 333);
  EXPECT_EQ(~running, test::ZlibCrc32(data));
}

}  // namespace
}  // namespace dkscr
