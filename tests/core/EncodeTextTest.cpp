#include <gtest/gtest.h>

#include "tests/core/TestBytes.h"
#include "text/Encode.h"

namespace dkscr {
namespace {

using test::Bytes;

// The bytes that encoding gives (as many as the result code says), or the failing code.
std::string Result(const OutputBuffer& out, ResultCode length) {
  return length < 0 ? "<" + std::to_string(length) + ">" : Bytes(out, length);
}
std::string Wide(std::u16string_view text, int32_t codePage) {
  OutputBuffer out;
  return Result(out, EncodeWideText(text, codePage, out));
}
std::string Utf8(std::string_view text, int style, int32_t codePage) {
  OutputBuffer out;
  return Result(out, EncodeUtf8Text(text, style, codePage, out));
}

TEST(EncodeWideText, EmptyTextGivesOnlyTheByteOrderMark) {
  EXPECT_EQ(Wide(u"", 65001), "\xEF\xBB\xBF");
  EXPECT_EQ(Wide(u"", 1200), "\xFF\xFE");
  OutputBuffer single;
  EXPECT_EQ(EncodeWideText(u"", 1252, single), 0);
  ASSERT_TRUE(single.HasBlock());
  EXPECT_EQ(single.BlockSize(), 1u);
}

TEST(EncodeWideText, EveryLineBreakBecomesCrLf) {
  EXPECT_EQ(Wide(u"a\rb\nc\r\nd", 1252), "a\r\nb\r\nc\r\nd");
  EXPECT_EQ(Wide(u"x\u2028y\vz", 1252), "x\r\ny\vz");
}

TEST(EncodeWideText, Utf8KeepsSupplementaryCharactersWhole) {
  // U+1F600 as a surrogate pair is one four-byte sequence, not two three-byte ones.
  EXPECT_EQ(Wide(u"\U0001F600", 65001), "\xEF\xBB\xBF\xF0\x9F\x98\x80");
  // Lone surrogates become U+FFFD.
  EXPECT_EQ(Wide(std::u16string{char16_t(0xD800), u'a', char16_t(0xDC00)}, 65001),
            "\xEF\xBB\xBF\xEF\xBF\xBD" "a\xEF\xBF\xBD");
}

TEST(EncodeWideText, Utf16KeepsCodeUnitsLowByteFirst) {
  const std::u16string text{u'A', char16_t(0x20AC), char16_t(0xD83D), char16_t(0xDE00), u'\n'};
  EXPECT_EQ(Wide(text, 1200), std::string("\xFF\xFE" "A\0\xAC\x20\x3D\xD8\x00\xDE\r\0\n\0", 14));
}

#ifndef _WIN32  // Windows converts as the system does (tests/windows)
TEST(EncodeWideText, UnmappableCharactersBecomeQuestionMarks) {
  EXPECT_EQ(Wide(u"\u00e9\u0416\U0001F600!", 1252), "\xE9?" "?!");
  EXPECT_EQ(Wide(u"\u65e5\u00e9", 932), "\x93\xFA?");
}
#endif

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
  EXPECT_EQ(Utf8("a\nb\xFF", kLineBreakCrLf, 65001), "\xEF\xBB\xBF" "a\r\nb\xFF");
  EXPECT_EQ(Utf8("", kLineBreakCrLf, 65001), "\xEF\xBB\xBF");
  EXPECT_EQ(Utf8("", kLineBreakCrLf, 1200), "\xFF\xFE");
  EXPECT_EQ(Utf8("", kLineBreakCrLf, 1252), "");
}

TEST(EncodeUtf8Text, FourByteSequencesDecodeToSurrogatePairs) {
  EXPECT_EQ(Utf8("x\xF0\x9F\x98\x80", kLineBreakCrLf, 1200), std::string("\xFF\xFEx\0\x3D\xD8\x00\xDE", 8));
  // One emoji no longer empties the whole text in a legacy code page (Windows writes one
  // default character per code unit).
#ifdef _WIN32
  EXPECT_EQ(Utf8("caf\xC3\xA9 \xF0\x9F\x98\x80", kLineBreakCrLf, 1252), "caf\xE9 ??");
#else
  EXPECT_EQ(Utf8("caf\xC3\xA9 \xF0\x9F\x98\x80", kLineBreakCrLf, 1252), "caf\xE9 ?");
#endif
}

TEST(EncodeUtf8Text, IllFormedSubpartsBecomeOneReplacementEach) {
  // a C0 AF b: two ill-formed bytes, two replacements; E2 82 at the end: one.
  EXPECT_EQ(Utf8("a\xC0\xAF" "b\xE2\x82", kLineBreakLf, 1200),
            std::string("\xFF\xFE" "a\0\xFD\xFF\xFD\xFF" "b\0\xFD\xFF", 12));
}

TEST(EncodeUtf8Text, LineBreakStylesAndLegacyCodePages) {
  EXPECT_EQ(Utf8("a\r\nb\rc", kLineBreakLf, 1252), "a\nb\nc");
  EXPECT_EQ(Utf8("a\r\nb\nc", kLineBreakCr, 1252), "a\rb\rc");
  EXPECT_EQ(Utf8("\xD0\x96\n", kLineBreakCrLf, 1251), "\xC6\r\n");
  EXPECT_EQ(Utf8("\xE4\xB8\xAD", kLineBreakCrLf, 936), "\xD6\xD0");
}

}  // namespace
}  // namespace dkscr
