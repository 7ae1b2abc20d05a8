#include <gtest/gtest.h>

#include "core/KelCvtBase.h"
#include "tests/core/TestBytes.h"

namespace dkscr {
namespace {

using test::Bytes;

TEST(EncodeWideText, EmptyTextGivesOnlyTheByteOrderMark) {
  OutputBuffer out;
  EXPECT_EQ(EncodeWideText(u"", 65001, out), 3);
  EXPECT_EQ(Bytes(out, 3), "\xEF\xBB\xBF");
  EXPECT_EQ(EncodeWideText(u"", 1200, out), 2);
  EXPECT_EQ(Bytes(out, 2), "\xFF\xFE");
  OutputBuffer single;
  EXPECT_EQ(EncodeWideText(u"", 1252, single), 0);
  ASSERT_TRUE(single.HasBlock());
  EXPECT_EQ(single.BlockSize(), 1u);
}

TEST(EncodeWideText, EveryLineBreakBecomesCrLf) {
  OutputBuffer out;
  const std::u16string text = u"a\rb\nc\r\nd";
  ASSERT_EQ(EncodeWideText(text, 1252, out), 10);
  EXPECT_EQ(Bytes(out, 10), "a\r\nb\r\nc\r\nd");
  ASSERT_EQ(EncodeWideText(u"x\u2028y\vz", 1252, out), 6);
  EXPECT_EQ(Bytes(out, 6), "x\r\ny\vz");
}

TEST(EncodeWideText, Utf8KeepsSupplementaryCharactersWhole) {
  OutputBuffer out;
  // U+1F600 as a surrogate pair is one four-byte sequence, not two three-byte ones.
  ASSERT_EQ(EncodeWideText(u"\U0001F600", 65001, out), 7);
  EXPECT_EQ(Bytes(out, 7), "\xEF\xBB\xBF\xF0\x9F\x98\x80");
  // Lone surrogates become U+FFFD.
  const std::u16string lone{char16_t(0xD800), u'a', char16_t(0xDC00)};
  ASSERT_EQ(EncodeWideText(lone, 65001, out), 3 + 3 + 1 + 3);
  EXPECT_EQ(Bytes(out, 10), "\xEF\xBB\xBF\xEF\xBF\xBD" "a\xEF\xBF\xBD");
}

TEST(EncodeWideText, Utf16KeepsCodeUnitsLowByteFirst) {
  OutputBuffer out;
  const std::u16string text{u'A', char16_t(0x20AC), char16_t(0xD83D), char16_t(0xDE00), u'\n'};
  ASSERT_EQ(EncodeWideText(text, 1200, out), 2 + 2 * 6);
  EXPECT_EQ(Bytes(out, 14), std::string("\xFF\xFE" "A\0\xAC\x20\x3D\xD8\x00\xDE\r\0\n\0", 14));
}

TEST(EncodeWideText, UnmappableCharactersBecomeQuestionMarks) {
  OutputBuffer out;
  ASSERT_EQ(EncodeWideText(u"\u00e9\u0416\U0001F600!", 1252, out), 4);
  EXPECT_EQ(Bytes(out, 4), "\xE9?" "?!");
  ASSERT_EQ(EncodeWideText(u"\u65e5\u00e9", 932, out), 3);
  EXPECT_EQ(Bytes(out, 3), "\x93\xFA?");
}

TEST(EncodeWideText, UnservedCodePagesGiveEmptyText) {
  OutputBuffer out;
  for (int32_t codePage : {12345, 1201, 12000, 65000, -7, 28602}) {
    EXPECT_EQ(EncodeWideText(u"text", codePage, out), 0) << codePage;
  }
}

TEST(EncodeWideText, ReusesTheCallersBlock) {
  OutputBuffer out;
  ASSERT_EQ(EncodeWideText(u"a fairly long text to start with", 1252, out), 32);
  EXPECT_EQ(out.BlockSize(), 33u);
  ASSERT_EQ(EncodeWideText(u"ab", 1252, out), 2);
  EXPECT_EQ(out.BlockSize(), 3u);
  EXPECT_EQ(Bytes(out, 2), "ab");
}

TEST(EncodeUtf8Text, Utf8PassesBytesThroughWithMarkAndLineBreaks) {
  OutputBuffer out;
  ASSERT_EQ(EncodeUtf8Text("a\nb\xFF", kLineBreakCrLf, 65001, out), 3 + 5);
  EXPECT_EQ(Bytes(out, 8), "\xEF\xBB\xBF" "a\r\nb\xFF");
  EXPECT_EQ(EncodeUtf8Text("", kLineBreakCrLf, 65001, out), 3);
  EXPECT_EQ(EncodeUtf8Text("", kLineBreakCrLf, 1200, out), 2);
  EXPECT_EQ(EncodeUtf8Text("", kLineBreakCrLf, 1252, out), 0);
}

TEST(EncodeUtf8Text, FourByteSequencesDecodeToSurrogatePairs) {
  OutputBuffer out;
  ASSERT_EQ(EncodeUtf8Text("x\xF0\x9F\x98\x80", kLineBreakCrLf, 1200, out), 2 + 6);
  EXPECT_EQ(Bytes(out, 8), std::string("\xFF\xFEx\0\x3D\xD8\x00\xDE", 8));
  // One emoji no longer empties the whole text in a legacy code page.
  ASSERT_EQ(EncodeUtf8Text("caf\xC3\xA9 \xF0\x9F\x98\x80", kLineBreakCrLf, 1252, out), 6);
  EXPECT_EQ(Bytes(out, 6), "caf\xE9 ?");
}

TEST(EncodeUtf8Text, IllFormedSubpartsBecomeOneReplacementEach) {
  OutputBuffer out;
  // a C0 AF b: two ill-formed bytes, two replacements; E2 82 at the end: one.
  ASSERT_EQ(EncodeUtf8Text("a\xC0\xAF" "b\xE2\x82", kLineBreakLf, 1200, out), 2 + 10);
  EXPECT_EQ(Bytes(out, 12), std::string("\xFF\xFE" "a\0\xFD\xFF\xFD\xFF" "b\0\xFD\xFF", 12));
}

TEST(EncodeUtf8Text, AppliesTheRequestedLineBreakStyle) {
  OutputBuffer out;
  ASSERT_EQ(EncodeUtf8Text("a\r\nb\rc", kLineBreakLf, 1252, out), 5);
  EXPECT_EQ(Bytes(out, 5), "a\nb\nc");
  ASSERT_EQ(EncodeUtf8Text("a\r\nb\nc", kLineBreakCr, 1252, out), 5);
  EXPECT_EQ(Bytes(out, 5), "a\rb\rc");
}

TEST(EncodeUtf8Text, LegacyCodePagesGetTheDecodedText) {
  OutputBuffer out;
  ASSERT_EQ(EncodeUtf8Text("\xD0\x96\n", kLineBreakCrLf, 1251, out), 3);
  EXPECT_EQ(Bytes(out, 3), "\xC6\r\n");
  ASSERT_EQ(EncodeUtf8Text("\xE4\xB8\xAD", kLineBreakCrLf, 936, out), 2);
  EXPECT_EQ(Bytes(out, 2), "\xD6\xD0");
}

}  // namespace
}  // namespace dkscr
