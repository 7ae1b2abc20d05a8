// Code pages through the system's own conversions.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/core/TestBytes.h"
#include "text/CodePage.h"
#include "text/Encode.h"

namespace dkscr {
namespace {

TEST(WindowsCodePages, RoundTripThroughTheSystem) {
  const struct {
    int32_t codePage;
    std::u16string text;
    std::string bytes;
  } rows[] = {
      {1251, u"\u041f\u0440\u0438\u0432\u0435\u0442", "\xCF\xF0\xE8\xE2\xE5\xF2"},
      {932, u"\u65e5\u672c\u8a9e", "\x93\xFA\x96\x7B\x8C\xEA"},
      {936, u"\u4e2d\u6587", "\xD6\xD0\xCE\xC4"},
      {949, u"\ud55c\uad6d", "\xC7\xD1\xB1\xB9"},
      {437, u"\u00e9\u00a2", "\x82\x9B"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(WideToCodePage(row.codePage, row.text), row.bytes) << row.codePage;
    EXPECT_EQ(CodePageToWide(row.codePage, row.bytes), row.text) << row.codePage;
  }
  // Every byte of 1252 comes back, the five unassigned ones as C1 controls.
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(WideToCodePage(1252, CodePageToWide(1252, all)), all);
}

TEST(WindowsCodePages, CodePageZeroIsTheAnsiCodePage) {
  EXPECT_EQ(DefaultCodePage(), static_cast<int32_t>(::GetACP()));
  const std::u16string text = u"caf\u00e9 \u65e5";
  EXPECT_EQ(WideToCodePage(0, text), WideToCodePage(DefaultCodePage(), text));
  EXPECT_EQ(CodePageToWide(0, "abc"), u"abc");
}

TEST(WindowsCodePages, UnmappableCharactersAsTheSystemWritesThem) {
  // A similar letter where the system has a best fit, else the default character, one per
  // code unit (a surrogate pair gives two).
  const struct {
    int32_t codePage;
    std::u16string text;
    std::string bytes;
  } rows[] = {
      {1252, u"\u0100\u0107", "Ac"},
      {932, u"\u65e5\u00e9", "\x93\xFA" "e"},
      {1252, u"\u00e9\u0416\U0001F600!", "\xE9??" "?!"},
      {1252, u"a\u4e2db", "a?b"},
  };
  for (const auto& row : rows) EXPECT_EQ(WideToCodePage(row.codePage, row.text), row.bytes);
}

TEST(WindowsCodePages, UnservedCodePagesGiveNothing) {
  EXPECT_EQ(WideToCodePage(65001, u"abc"), "");         // refuses to report default characters
  EXPECT_EQ(WideToCodePage(1200, u"abc"), "");
  EXPECT_EQ(WideToCodePage(99999, u"abc"), "");
  EXPECT_EQ(CodePageToWide(77777, "abc"), u"");
  // UTF-8 and UTF-16 output are built by us, not by the system: the same bytes everywhere.
  OutputBuffer out;
  ASSERT_EQ(EncodeUtf8Text("\xC3\xA9\n", kLineBreakCrLf, 1200, out), 8);
  EXPECT_EQ(test::Bytes(out, 8), std::string("\xFF\xFE\xE9\x00\r\x00\n\x00", 8));
}

TEST(WindowsCodePages, LocaleNamesGiveTheirAnsiCodePage) {
  EXPECT_EQ(CodePageOfLocale("ru-RU"), 1251);
  EXPECT_EQ(CodePageOfLocale("ja_JP.SJIS"), 932);
  EXPECT_EQ(CodePageOfLocale(""), DefaultCodePage());
}

}  // namespace
}  // namespace dkscr
