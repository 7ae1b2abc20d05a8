// Timestamps as the forms write them: four-digit years digit by digit, other years as printf
// writes them, and back from the XML form.
#include <gtest/gtest.h>

#include <cstdint>

#include "model/Timestamps.h"

namespace dkscr {
namespace {

constexpr int64_t kDay = 86400;

TEST(UtcTimestamp, WritesEveryFieldWithItsDigits) {
  EXPECT_EQ(UtcTimestamp(0), "1970-01-01T00:00:00Z");
  EXPECT_EQ(UtcTimestamp(-1), "1969-12-31T23:59:59Z");
  EXPECT_EQ(UtcTimestamp(951782400), "2000-02-29T00:00:00Z");
  EXPECT_EQ(UtcTimestamp(1714555800 + 9 * 3600 + 59 * 60 + 58 - 1714555800 % kDay), "2024-05-01T09:59:58Z");
  EXPECT_EQ(UtcTimestamp(-11644473600), "1601-01-01T00:00:00Z");
  // The first and last seconds of four-digit years, and years beyond them either way.
  EXPECT_EQ(UtcTimestamp(-62167219200), "0000-01-01T00:00:00Z");
  EXPECT_EQ(UtcTimestamp(-62167219200 - 1), "-001-12-31T23:59:59Z");
  EXPECT_EQ(UtcTimestamp(253402300799), "9999-12-31T23:59:59Z");
  EXPECT_EQ(UtcTimestamp(253402300800), "10000-01-01T00:00:00Z");
  EXPECT_EQ(UtcTimestamp(INT64_MAX / 10000000 - 11644473600), "30828-09-14T02:48:05Z");
}

TEST(UtcTimestamp, ReadsBackAsWritten) {
  for (int64_t seconds : {int64_t{0}, int64_t{86399}, int64_t{946684799}, int64_t{1234567890}, int64_t{4102444800},
                          int64_t{-2208988800}, int64_t{-62135596800}}) {
    const std::string text = UtcTimestamp(seconds);
    ASSERT_EQ(text.size(), 20u) << text;
    EXPECT_EQ(ParseXmlDateTime(text), seconds) << text;
  }
}

}  // namespace
}  // namespace dkscr
