#include <gtest/gtest.h>

#include "text/Encode.h"
#include "text/LineBreaks.h"

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

// Pieces cut anywhere, a CR LF split between two of them included, give what the whole text gives.
TEST(RewriteLineBreaks, PiecesGiveWhatTheWholeGives) {
  const std::u16string text = u"ab\r\ncd\r\r\n\nef\u2028g\rh\n\r";
  for (int style : {kLineBreakLf, kLineBreakCrLf, kLineBreakCr}) {
    const std::u16string whole = ConvertLineBreaksWide(text, style);
    for (size_t cut = 0; cut <= text.size(); ++cut) {
      for (size_t second = cut; second <= text.size(); ++second) {
        std::u16string out;
        bool pendingCr = false;
        const std::u16string_view view(text);
        RewriteLineBreaks(view.substr(0, cut), style, true, pendingCr, out);
        RewriteLineBreaks(view.substr(cut, second - cut), style, true, pendingCr, out);
        RewriteLineBreaks(view.substr(second), style, true, pendingCr, out);
        EXPECT_EQ(out, whole) << "style " << style << " cuts " << cut << " " << second;
      }
    }
  }
  // A CR ending the last piece is a break of its own; a LF after it in no piece changes nothing.
  std::string out;
  bool pendingCr = false;
  RewriteLineBreaks(std::string_view("x\r"), kLineBreakCrLf, false, pendingCr, out);
  EXPECT_TRUE(pendingCr);
  RewriteLineBreaks(std::string_view(""), kLineBreakCrLf, false, pendingCr, out);
  EXPECT_TRUE(pendingCr);
  RewriteLineBreaks(std::string_view("\ny"), kLineBreakCrLf, false, pendingCr, out);
  EXPECT_EQ(out, "x\r\ny");
}

// Searched a word at a time: a break at any place of a long text, bytes of every value beside it
// (0x0D and 0x0A within other bytes of the word, 0x8D and 0x8A with their high bit set) found.
TEST(FindLineBreak, FindsTheFirstBreakAtEveryPlace) {
  for (const char breakChar : {'\r', '\n'}) {
    for (size_t place = 0; place < 40; ++place) {
      std::string text;
      for (size_t i = 0; i < 40; ++i) text.push_back(static_cast<char>("a\x8D\x8A\x0C\x0E\x0B\xFF z"[i % 9]));
      text[place] = breakChar;
      for (size_t from = 0; from <= place; ++from) {
        EXPECT_EQ(FindLineBreak(text, from), place) << "place " << place << " from " << from;
      }
      EXPECT_EQ(FindLineBreak(text, place + 1), text.size());
    }
  }
  EXPECT_EQ(FindLineBreak("", 0), 0u);
}

TEST(BytesToWide, TakesLittleEndianPairsAndDropsAnOddByte) {
  EXPECT_EQ(BytesToWide(std::string("\x41\x00\x42", 3)), u"A");
  EXPECT_EQ(BytesToWide(std::string("\xAC\x20\x3D\xD8", 4)), (std::u16string{0x20AC, 0xD83D}));
  EXPECT_EQ(BytesToWide(""), u"");
}

}  // namespace
}  // namespace dkscr
