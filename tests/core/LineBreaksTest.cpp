#include <gtest/gtest.h>

#include "text/Encode.h"

namespace dkscr {
namespace {

TEST(ConvertLineBreaks, LfThenCrIsTwoBreaks) {
  EXPECT_EQ(ConvertLineBreaks("\n\r", kLineBreakCrLf), "\r\n\r\n");
  EXPECT_EQ(ConvertLineBreaks("\n\r", kLineBreakLf), "\n\n");
}

TEST(ConvertLineBreaks, MixedBreaksInEachStyle) {
  const std::string mixed = "a\rb\nc\r\nd\r\r\ne";
  EXPECT_EQ(ConvertLineBreaks(mixed, kLineBreakLf), "a\nb\nc\nd\n\ne");
  EXPECT_EQ(ConvertLineBreaks(mixed, kLineBreakCrLf), "a\r\nb\r\nc\r\nd\r\n\r\ne");
  EXPECT_EQ(ConvertLineBreaks(mixed, kLineBreakCr), "a\rb\rc\rd\r\re");
}

TEST(LineBreakLength, MatchesTheConvertedLength) {
  EXPECT_EQ(LineBreakLength("\r\n", kLineBreakCrLf), 2u);
  EXPECT_EQ(LineBreakLength("\r\n", kLineBreakLf), 1u);
  EXPECT_EQ(LineBreakLength("\r", kLineBreakCrLf), 2u);
  for (const char* text : {"", "x", "\r\r\n\n", "\n\r\n\r", "a\rb\nc\r\nd\r\r\ne\n"}) {
    for (int style : {kLineBreakLf, kLineBreakCrLf, kLineBreakCr}) {
      EXPECT_EQ(LineBreakLength(text, style), ConvertLineBreaks(text, style).size())
          << text << " style " << style;
    }
  }
}

TEST(ConvertLineBreaks, MultiByteCharactersAreTakenByteByByte) {
  // A UTF-16LE "\n" holds an LF byte that is rewritten; the function knows only bytes.
  EXPECT_EQ(ConvertLineBreaks(std::string("\n\0", 2), kLineBreakCrLf), std::string("\r\n\0", 3));
}

TEST(ConvertLineBreaksWide, LineSeparatorCountsAsABreak) {
  EXPECT_EQ(ConvertLineBreaksWide(u"a\u2028b", kLineBreakCrLf), u"a\r\nb");
  EXPECT_EQ(ConvertLineBreaksWide(u"a\r\u2028b", kLineBreakLf), u"a\n\nb");
  EXPECT_EQ(ConvertLineBreaksWide(u"a\vb\u2029", kLineBreakCrLf), u"a\vb\u2029");
}

TEST(BytesToWide, TakesLittleEndianPairsAndDropsAnOddByte) {
  EXPECT_EQ(BytesToWide(std::string("\x41\x00\x42", 3)), u"A");
  EXPECT_EQ(BytesToWide(std::string("\xAC\x20\x3D\xD8", 4)), (std::u16string{0x20AC, 0xD83D}));
  EXPECT_EQ(BytesToWide(""), u"");
}

}  // namespace
}  // namespace dkscr
