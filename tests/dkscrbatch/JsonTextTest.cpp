// JSON strings from arbitrary bytes: escapes, decoding, replacement and recoverable paths.
#include <gtest/gtest.h>

#include <string>

#include "batch/JsonText.h"

namespace dkscr {
namespace {

struct StringCase {
  const char* name;
  std::string bytes;
  bool crLfAsLf;
  std::string json;
  bool plain;
};

TEST(JsonTextTest, StringsAreEscapedAndDecoded) {
  const StringCase cases[] = {
      {"quote and backslash", "a\"b\\c", false, R"("a\"b\\c")", true},
      {"named controls", "\b\f\n\r\t", false, R"("\b\f\n\r\t")", true},
      {"other controls", std::string("\x00\x01\x1f\x7f", 4), false, "\"\\u0000\\u0001\\u001f\x7f\"", true},
      {"CR LF kept", "a\r\nb", false, R"("a\r\nb")", true},
      {"CR LF as LF", "a\r\nb\rc\n", true, R"("a\nb\rc\n")", true},
      {"UTF-8 passes", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", false,
       "\"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\"", true},
      {"split surrogate pair joined", "\xED\xA0\xBD\xED\xB8\x80", false, "\"\xF0\x9F\x98\x80\"",
       false},
      {"lone high surrogate", "\xED\xA0\xBDx", false, "\"\xEF\xBF\xBDx\"", false},
      {"lone low surrogate", "\xED\xB8\x80", false, "\"\xEF\xBF\xBD\"", false},
      {"stray byte", "a\xFF" "b", false, "\"a\xEF\xBF\xBD" "b\"", false},
      {"overlong", "\xC0\xAF", false, "\"\xEF\xBF\xBD\xEF\xBF\xBD\"", false},
      {"cut sequence at end", "\xE2\x82", false, "\"\xEF\xBF\xBD\xEF\xBF\xBD\"", false},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", false,
       "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"", false},
  };
  for (const StringCase& c : cases) {
    std::string out;
    EXPECT_EQ(AppendJsonString(out, c.bytes, c.crLfAsLf), c.plain) << c.name;
    EXPECT_EQ(out, c.json) << c.name;
  }
}

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
