#include "openxml/Crc32.h"

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

TEST(Crc32Test, MatchesZlibAtEveryLengthAndAlignment) {
  std::string data;
  for (int i = 0; i < 300; ++i) data.push_back(static_cast<char>(i * 131 + (i >> 3)));
  for (size_t offset = 0; offset < 8; ++offset) {
    for (size_t length = 0; length + offset <= data.size(); length += 7) {
      const std::string part = data.substr(offset, length);
      ASSERT_EQ(Crc32(U8(data) + offset, length), test::ZlibCrc32(part)) << offset << "/" << length;
    }
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
