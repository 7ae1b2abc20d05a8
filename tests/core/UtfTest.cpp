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
