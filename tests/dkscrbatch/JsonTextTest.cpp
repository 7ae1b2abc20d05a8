// JSON Lines records: text only on success, recoverable bytes of odd paths.
#include <gtest/gtest.h>

#include <string>

#include "batch/JsonText.h"

namespace dkscr {
namespace {

TEST(JsonTextTest, RecordsCarryTextOnlyOnSuccessAndRawBytesOfOddPaths) {
  EXPECT_EQ(JsonRecord("d/a.ppt", 8, "OK", "\xEF\xBB\xBFhi\r\n\"x\""),
            R"({"path":"d/a.ppt","code":8,"message":"OK","text":"hi\n\"x\""})" "\n");
  EXPECT_EQ(JsonRecord("a.ppt", -5, "Input file \"a.ppt\" format not correct", "ignored"),
            R"({"path":"a.ppt","code":-5,"message":"Input file \"a.ppt\" format not correct"})"
            "\n");
  EXPECT_EQ(JsonRecord("\xFF/\n.ppt", 0, "OK", ""),
            "{\"path\":\"\xEF\xBF\xBD/\\n.ppt\",\"path_bytes\":\"ff2f0a2e707074\","
            "\"code\":0,\"message\":\"OK\",\"text\":\"\"}\n");
}

}  // namespace
}  // namespace dkscr
