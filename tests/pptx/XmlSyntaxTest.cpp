#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "openxml/KelXMLSyntax.h"

namespace dkscr {
namespace {

using Lines = std::vector<std::string>;

TEST(XmlTagName, EndsAtSpaceElseSlashElseClose) {
  EXPECT_EQ(TagName("<a:t>"), "a:t");
  EXPECT_EQ(TagName("<a:t xml:space=\"preserve\">"), "a:t");
  EXPECT_EQ(TagName("<a:br/>"), "a:br");
  EXPECT_EQ(TagName("<a:rPr lang=\"x/y\"/>"), "a:rPr");
  EXPECT_EQ(TagName("<p/q>"), "p");
  EXPECT_EQ(TagName("<!DOCTYPE html>"), "!DOCTYPE");
  // Only a space separates: a tab or line break becomes part of the name.
  EXPECT_EQ(TagName("<a\tb=\"1\">"), "a\tb=\"1\"");
  EXPECT_EQ(TagName("< x>"), "");
}

TEST(XmlParseParams, QuotedValuesLoseTheirQuotes) {
  EXPECT_EQ(ParseParams("<a:rPr lang=\"en-US\" b=\"1\"/>").Lines(), (Lines{"lang=en-US", "b=1"}));
  EXPECT_EQ(ParseParams("<a x=\"two words\" y=\"3\">").Lines(), (Lines{"x=two words", "y=3"}));
  EXPECT_EQ(ParseParams("<a>").Lines(), Lines{});
  EXPECT_EQ(ParseParams("<a >").Lines(), Lines{});
  EXPECT_EQ(ParseParams("<a />").Lines(), Lines{});
}

TEST(XmlParseParams, ShortValuesKeepQuotes) {
  EXPECT_EQ(ParseParams("<a x=\"\" y=\"1\">").Lines(), (Lines{"x=\"\"", "y=1"}));
  EXPECT_EQ(ParseParams("<a x=\"a>").Lines(), (Lines{"x=\"a"}));  // two bytes: left alone
  EXPECT_EQ(ParseParams("<a x=\"1 y=2>").Lines(), (Lines{"x=1 y=2"}));  // quote opened, never closed
  // Longer than two bytes: a leading quote goes even without a closing one.
  EXPECT_EQ(ParseParams("<a x=\"ab>").Lines(), (Lines{"x=ab"}));
}

TEST(XmlParseParams, LastByteIsNeverExamined) {
  // The space before ">" is not turned into a line break and stays in the value.
  EXPECT_EQ(ParseParams("<a:t xml:space=\"preserve\" >").Lines(), (Lines{"xml:space=preserve\" "}));
  EXPECT_EQ(ParseParams("<a b >").Lines(), (Lines{"b "}));
  // A quote as the last byte toggles nothing, so it cannot matter either way.
  EXPECT_EQ(ParseParams("<a b=\"1\" c=\"2\">").Lines(), (Lines{"b=1", "c=2"}));
}

TEST(XmlParseParams, SingleQuotesAreNoQuotes) {
  EXPECT_EQ(ParseParams("<a x='one two' y='3'>").Lines(), (Lines{"x='one", "two'", "y='3'"}));
}

TEST(XmlParseParams, EveryLineCountsEmptyOnesToo) {
  EXPECT_EQ(ParseParams("<a  x=\"1\">").Lines(), (Lines{"", "x=1"}));
  EXPECT_EQ(ParseParams("<a x=\"1\"\ny=\"2\">").Lines(), (Lines{"x=1", "y=2"}));
  EXPECT_EQ(ParseParams("<a checked x=\"1\">").Lines(), (Lines{"checked", "x=1"}));
}

TEST(XmlParseParams, EmptyValueIsKept) {
  EXPECT_EQ(ParseParams("<a x= y=\"1\">").Lines(), (Lines{"x=", "y=1"}));
}

TEST(XmlParseParams, ValuesAreDecoded) {
  EXPECT_EQ(ParseParams("<a t=\"a&amp;b &lt;c&gt; &quot;d&quot; &#65;\">").Lines(),
            (Lines{"t=a&b <c> \"d\" &#65;"}));
}

TEST(XmlParseParams, RepeatedNamesResolveToTheFirst) {
  // Each entry stores the first same-named entry's value back into that first entry.
  EXPECT_EQ(ParseParams("<a x=\"1\" X=\"22\">").Lines(), (Lines{"X=1", "X=\"22\""}));
}

TEST(XmlParams, LookupsIgnoreCase) {
  const TXMLParams params = ParseParams("<a:t Lang=\"en\" XML:Space=\"Preserve\">");
  EXPECT_EQ(params.IndexOf("xml:space=preserve"), 1);
  EXPECT_EQ(params.IndexOfName("lang"), 0);
  EXPECT_EQ(params.Value("LANG"), "en");
  EXPECT_EQ(params.Value("none"), "");
  EXPECT_EQ(params.IndexOf("xml:space"), -1);
}

TEST(XmlDecodeEscapes, FiveReplacementsInOrderEachOnce) {
  EXPECT_EQ(DecodeEscapes("A&amp;B"), "A&B");
  EXPECT_EQ(DecodeEscapes("&amp;lt;"), "&lt;");
  EXPECT_EQ(DecodeEscapes("&lt;br/&gt;"), "<br/>");  // "<br/>" was replaced before it existed
  EXPECT_EQ(DecodeEscapes("a<br/>b"), "a\r\nb");
  EXPECT_EQ(DecodeEscapes("&quot;&gt;&lt;"), "\"><");
  EXPECT_EQ(DecodeEscapes("&#65;&apos;&AMP;&amp"), "&#65;&apos;&AMP;&amp");
  EXPECT_EQ(DecodeEscapes("&amp;amp;amp;"), "&amp;amp;");
  EXPECT_EQ(DecodeEscapes(""), "");
}

TEST(XmlDecodeEscapes, FindEscapeFindsOnlyWholeEscapes) {
  EXPECT_EQ(FindEscape("a & b &am"), std::string_view::npos);
  EXPECT_EQ(FindEscape("a & &gt;"), 4u);
  EXPECT_EQ(FindEscape("<b <br/>"), 3u);
}

}  // namespace
}  // namespace dkscr
