#include <gtest/gtest.h>

#include "platform/NativePath.h"
#include "platform/Utf.h"

namespace dkscr {
namespace {

TEST(Utf8ToWide, ReplacesMaximalSubpartsLikeOtherDecoders) {
  struct Case {
    std::string in;
    std::u16string out;
  };
  const Case cases[] = {
      {"\xE2\x82", u"\ufffd"},
      {"\xF0\x9F\x98", u"\ufffd"},
      {"a\xC0\xAF" "b", u"a\ufffd\ufffdb"},
      {"\xED\xA0\x80", u"\ufffd\ufffd\ufffd"},         // encoded surrogate
      {"\xF4\x90\x80\x80", u"\ufffd\ufffd\ufffd\ufffd"},  // beyond U+10FFFF
      {"\xE0\x80\x80", u"\ufffd\ufffd\ufffd"},         // overlong
      {"\xF0\x9F\x98\x80", u"\U0001F600"},
      {"\xFF\xFE", u"\ufffd\ufffd"},
      {"\xE2\x82\xAC" "x\xE2", u"\u20acx\ufffd"},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToWide(c.in), c.out) << c.in;
}

TEST(WideToUtf8, PairsAreOneSequenceAndLoneSurrogatesAreReplaced) {
  EXPECT_EQ(WideToUtf8(u"\U0010FFFF"), "\xF4\x8F\xBF\xBF");
  EXPECT_EQ(WideToUtf8(std::u16string{0xDE00, 0xD83D}), "\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(WideToUtf8(u"\u07ff\u0800"), "\xDF\xBF\xE0\xA0\x80");
}

TEST(WideToUtf8, LongTextsAsEachUnitAlone) {
  // ASCII runs of every length against units of every width, lone halves and pairs.
  std::u16string text;
  const std::u16string others[] = {u"\u00e9", u"\u20ac", u"\U0001F600", {0xD800}, {0xDC00}, {0x7F}, {0x80}};
  for (size_t n = 0; text.size() < 40000; ++n) {
    text.append(n % 37, static_cast<char16_t>('a' + n % 26));
    text += others[n % std::size(others)];
  }
  text.append(20000, u'z');
  std::string expected;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool pair = i + 1 < text.size() && text[i] >= 0xD800 && text[i] <= 0xDBFF && text[i + 1] >= 0xDC00 &&
                      text[i + 1] <= 0xDFFF;
    expected += WideToUtf8(text.substr(i, pair ? 2 : 1));
    i += pair ? 1 : 0;
  }
  EXPECT_EQ(WideToUtf8(text), expected);
  std::string appended = "head";
  AppendWideAsUtf8(text, appended);
  EXPECT_EQ(appended, "head" + expected);
}

#ifndef _WIN32  // names are bytes here; on Windows UTF-16 (tests/windows)
TEST(NativePath, EveryByteStringSurvivesTheRoundTrip) {
  const std::string names[] = {
      "plain.ppt", "caf\xC3\xA9.pptx", "latin1-\xE9t\xE9.ppt", "\xFF\xFE\x80",
      "\xED\xB2\x80", "emoji-\xF0\x9F\x98\x80", "cut-\xE2\x82",
  };
  for (const auto& name : names) EXPECT_EQ(PathToNative(PathFromNative(name)), name);
  EXPECT_EQ(PathFromNative("caf\xC3\xA9"), u"caf\u00e9");
  EXPECT_EQ(PathFromNative("a\xE9"), (std::u16string{u'a', 0xDCE9}));
}
#endif

}  // namespace
}  // namespace dkscr
