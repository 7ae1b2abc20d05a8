// JSON strings from arbitrary bytes: escapes, decoding and both ways of repairing bad UTF-8.
#include <gtest/gtest.h>

#include <string>

#include "model/JsonWriter.h"

namespace dkscr {
namespace {

struct StringCase {
  const char* name;
  std::string bytes;
  bool crLfAsLf;
  std::string json;
  bool plain;
};

TEST(JsonWriterTest, RecordStringsJoinSurrogatePairs) {
  const StringCase cases[] = {
      {"quote and backslash", "a\"b\\c", false, R"("a\"b\\c")", true},
      {"named controls", "\b\f\n\r\t", false, R"("\b\f\n\r\t")", true},
      {"plain runs between escapes", "ab \"cd\\ef\tg~\x7f\xC3\xA9h", false,
       "\"ab \\\"cd\\\\ef\\tg~\x7f\xC3\xA9h\"", true},
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
    EXPECT_EQ(AppendJsonString(out, c.bytes, {c.crLfAsLf, Utf8Repair::kJoinSurrogatePairs}), c.plain) << c.name;
    EXPECT_EQ(out, c.json) << c.name;
  }
}

TEST(JsonWriterTest, MaximalSubpartsBecomeOneReplacementEach) {
  const std::string r = "\xEF\xBF\xBD";
  const struct {
    const char* name;
    std::string bytes;
    std::string json;
  } cases[] = {
      {"named controls", "\b\f\n\r\t", R"("\b\f\n\r\t")"},
      {"CR LF kept", "a\r\nb", R"("a\r\nb")"},
      {"cut sequence at end", "\xE2\x82", "\"" + r + "\""},
      {"cut sequence before ASCII", "\xF0\x9F\x98x", "\"" + r + "x\""},
      {"encoded surrogate", "\xED\xA0\x80", "\"" + r + r + r + "\""},
      {"lone continuation", "\x80\xC3\xA9", "\"" + r + "\xC3\xA9\""},
  };
  for (const auto& c : cases) {
    std::string out = "x";
    EXPECT_EQ(AppendJsonString(out, c.bytes), c.json.find(r) == std::string::npos) << c.name;
    EXPECT_EQ(out, "x" + c.json) << c.name;
  }
}

TEST(JsonWriterTest, EscapesFoundAtEveryPlaceOfALongPlainRun) {
  // Plain runs are scanned sixteen, eight or one byte at a time: a byte that needs more than copying is
  // caught wherever it stands in such a run, and plain bytes next to the classes' edges
  // (space, tilde, DEL) pass.
  const struct {
    std::string bytes;
    std::string json;
  } specials[] = {
      {std::string(1, '\0'), "\\u0000"}, {"\x1f", "\\u001f"}, {"\"", "\\\""}, {"\\", "\\\\"},
      {"\n", "\\n"}, {"\xC3\xA9", "\xC3\xA9"}, {" ", " "}, {"~", "~"}, {"\x7f", "\x7f"}, {"!", "!"},
      {"#", "#"}, {"[", "["}, {"]", "]"},
  };
  // Runs of every length up to three blocks of sixteen, so that the last bytes of a run are
  // also scanned as a block overlapping the one before.
  for (const auto& special : specials) {
    for (size_t length = 1; length <= 48; ++length) {
      for (size_t before = 0; before < length; ++before) {
        const size_t after = length - 1 - before;
        const std::string bytes = std::string(before, 'a') + special.bytes + std::string(after, 'b');
        std::string out;
        AppendJsonString(out, bytes);
        EXPECT_EQ(out, "\"" + std::string(before, 'a') + special.json + std::string(after, 'b') + "\"")
            << static_cast<int>(static_cast<unsigned char>(special.bytes[0])) << " after " << before << " of " << length;
      }
    }
  }
}

}  // namespace
}  // namespace dkscr
