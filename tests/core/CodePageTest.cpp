#include <gtest/gtest.h>

#include <clocale>

#include "text/CodePage.h"
#include "text/Cp1252.h"
#include "text/Encode.h"

namespace dkscr {
namespace {

// Sets the C library's locale for one test and puts the previous one back.
class ScopedLocale {
 public:
  explicit ScopedLocale(const char* name) : previous_(std::setlocale(LC_ALL, nullptr)) {
    ok_ = std::setlocale(LC_ALL, name) != nullptr;
  }
  ~ScopedLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
  ScopedLocale(const ScopedLocale&) = delete;
  ScopedLocale& operator=(const ScopedLocale&) = delete;
  bool ok() const { return ok_; }

 private:
  std::string previous_;
  bool ok_ = false;
};

TEST(Cp1252, EveryByteRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::u16string wide = Cp1252Decode(all);
  // The five bytes Windows leaves unassigned come back as the C1 controls of the same value.
  EXPECT_EQ(wide.substr(0x80, 0x20), u"\u20ac\u0081\u201a\u0192\u201e\u2026\u2020\u2021\u02c6\u2030\u0160"
                                     u"\u2039\u0152\u008d\u017d\u008f\u0090\u2018\u2019\u201c\u201d\u2022"
                                     u"\u2013\u2014\u02dc\u2122\u0161\u203a\u0153\u009d\u017e\u0178");
  EXPECT_EQ(WideToCodePage(1252, wide), all);
  EXPECT_EQ(CodePageToWide(1252, all), wide);
}

TEST(WideToCodePage, DoubleByteCodePages) {
  EXPECT_EQ(WideToCodePage(932, u"\u65e5\u672c\u8a9e"), "\x93\xFA\x96\x7B\x8C\xEA");
  EXPECT_EQ(WideToCodePage(936, u"\u4e2d\u6587"), "\xD6\xD0\xCE\xC4");
  EXPECT_EQ(WideToCodePage(949, u"\ud55c\uad6d"), "\xC7\xD1\xB1\xB9");
  EXPECT_EQ(WideToCodePage(950, u"\u4e2d\u6587"), "\xA4\xA4\xA4\xE5");
  EXPECT_EQ(WideToCodePage(54936, u"\U0001F600"), "\x94\x39\xFC\x36");
}

TEST(WideToCodePage, EachUnmappableCharacterIsOneDefaultCharacter) {
  // A surrogate pair is one character; a lone surrogate is one too.
  const std::u16string text{u'a', 0xD83D, 0xDE00, 0xDC00, u'b', 0x4E2D};
  EXPECT_EQ(WideToCodePage(1251, text), "a??b?");
  EXPECT_EQ(WideToCodePage(28591, text), "a??b?");
  EXPECT_EQ(WideToCodePage(20127, u"\u00e9x"), "?x");
}

TEST(WideToCodePage, StatefulEncodingsStayWellFormed) {
  // The default character for an unmappable character inside a run of kanji must leave the
  // double-byte mode first.
  const std::string bytes = WideToCodePage(50220, u"\u65e5\u00e9\u65e5");
  EXPECT_EQ(CodePageToWide(50220, bytes), u"\u65e5?\u65e5");
  // Exact bytes, since a decoder forgives a missing final escape: text that ends in kanji
  // must still switch back to ASCII at its very end.
  const struct {
    std::u16string text;
    std::string bytes;
  } rows[] = {
      {u"\u65e5", "\x1B$BF|\x1B(B"},
      {u"a\u65e5b", "a\x1B$BF|\x1B(Bb"},
      {u"\u65e5\u00e9\u65e5", "\x1B$BF|\x1B(B?\x1B$BF|\x1B(B"},
      {u"ab", "ab"},  // never left ASCII: no escape at all
  };
  for (const auto& row : rows) EXPECT_EQ(WideToCodePage(50220, row.text), row.bytes);
  OutputBuffer out;
  ASSERT_EQ(EncodeWideText(u"a\r\u65e5", 50220, out), 11);  // the converters' last step
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.Data()), 11), "a\r\n\x1B$BF|\x1B(B");
}

TEST(WideToCodePage, UnservedCodePagesAndEmptyTextGiveNothing) {
  EXPECT_EQ(WideToCodePage(65001, u"abc"), "");
  EXPECT_EQ(WideToCodePage(1200, u"abc"), "");
  EXPECT_EQ(WideToCodePage(99999, u"abc"), "");
  EXPECT_EQ(WideToCodePage(1252, u""), "");
}

TEST(WideToCodePage, CodePageZeroIsTheLocalesCodePage) {
  {
    ScopedLocale locale("C.UTF-8");
    ASSERT_TRUE(locale.ok());
    EXPECT_EQ(DefaultCodePage(), 65001);
    EXPECT_EQ(WideToCodePage(0, u"\u00e9"), "\xC3\xA9");  // plain UTF-8, no mark
  }
  {
    ScopedLocale locale("C");
    EXPECT_EQ(DefaultCodePage(), 65001);  // ASCII locales lose nothing by default
  }
}

TEST(CodePageOfCodeset, MapsTheCommonCharacterSets) {
  EXPECT_EQ(CodePageOfCodeset("UTF-8"), 65001);
  EXPECT_EQ(CodePageOfCodeset("ANSI_X3.4-1968"), 65001);
  EXPECT_EQ(CodePageOfCodeset("ISO-8859-1"), 28591);
  EXPECT_EQ(CodePageOfCodeset("iso88595"), 28595);
  EXPECT_EQ(CodePageOfCodeset("ISO-8859-15"), 28605);
  EXPECT_EQ(CodePageOfCodeset("KOI8-R"), 20866);
  EXPECT_EQ(CodePageOfCodeset("CP1251"), 1251);
  EXPECT_EQ(CodePageOfCodeset("WINDOWS-1258"), 1258);
  EXPECT_EQ(CodePageOfCodeset("GB2312"), 936);
  EXPECT_EQ(CodePageOfCodeset("GBK"), 936);
  EXPECT_EQ(CodePageOfCodeset("GB18030"), 54936);
  EXPECT_EQ(CodePageOfCodeset("BIG5"), 950);
  EXPECT_EQ(CodePageOfCodeset("EUC-KR"), 949);
  EXPECT_EQ(CodePageOfCodeset("SHIFT_JIS"), 932);
  EXPECT_EQ(CodePageOfCodeset("TIS-620"), 874);
  EXPECT_EQ(CodePageOfCodeset("ISO-8859-99"), 65001);
  EXPECT_EQ(CodePageOfCodeset("CP1259"), 65001);
  EXPECT_EQ(CodePageOfCodeset("EBCDIC-US"), 65001);
}

TEST(CodePageOfLocale, ReadsTheCharacterSetOfANamedLocale) {
  EXPECT_EQ(CodePageOfLocale("C.UTF-8"), 65001);
  EXPECT_EQ(CodePageOfLocale("C"), 65001);
  // Locales not installed here still name their character set.
  EXPECT_EQ(CodePageOfLocale("xx_YY.KOI8-R"), 20866);
  EXPECT_EQ(CodePageOfLocale("xx_YY.ISO-8859-15@euro"), 28605);
  EXPECT_EQ(CodePageOfLocale("xx_YY.GB18030"), 54936);
}

TEST(CodePageToWide, DecodesOemNamesAndReplacesBadBytes) {
  EXPECT_EQ(CodePageToWide(437, "\x82\x9B"), u"\u00e9\u00a2");
  EXPECT_EQ(CodePageToWide(932, "\x93\xFA" "a\x81"), u"\u65e5a\ufffd");
  EXPECT_EQ(CodePageToWide(65001, "\xC3\xA9"), u"\u00e9");
  EXPECT_EQ(CodePageToWide(77777, "abc"), u"");
}

}  // namespace
}  // namespace dkscr
