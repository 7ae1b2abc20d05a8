#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "xml/detail/TagSyntax.h"

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

TEST(XmlParseParams, OneLinePerAttribute) {
  const struct {
    const char* tag;
    Lines lines;
  } cases[] = {
      {"<a:rPr lang=\"en-US\" b=\"1\"/>", {"lang=en-US", "b=1"}},
      {"<a x=\"two words\" y=\"3\">", {"x=two words", "y=3"}},
      {"<a>", {}}, {"<a >", {}}, {"<a />", {}},
      // Values of two bytes or less keep their quotes; longer ones lose a leading quote even
      // without a closing one.
      {"<a x=\"\" y=\"1\">", {"x=\"\"", "y=1"}},
      {"<a x=\"a>", {"x=\"a"}},
      {"<a x=\"1 y=2>", {"x=1 y=2"}},  // quote opened, never closed
      {"<a x=\"ab>", {"x=ab"}},
      // The last byte is never examined: the space before ">" stays in the value.
      {"<a:t xml:space=\"preserve\" >", {"xml:space=preserve\" "}},
      {"<a b >", {"b "}},
      {"<a b=\"1\" c=\"2\">", {"b=1", "c=2"}},
      {"<a x='one two' y='3'>", {"x='one", "two'", "y='3'"}},  // single quotes are no quotes
      // Every line counts, empty ones too; an attribute with nothing after "=" is kept.
      {"<a  x=\"1\">", {"", "x=1"}},
      {"<a x=\"1\"\ny=\"2\">", {"x=1", "y=2"}},
      {"<a checked x=\"1\">", {"checked", "x=1"}},
      {"<a x= y=\"1\">", {"x=", "y=1"}},
      {"<a t=\"a&amp;b &lt;c&gt; &quot;d&quot; &#65;\">", {"t=a&b <c> \"d\" &#65;"}},
      // Each entry stores the first same-named entry's value back into that first entry.
      {"<a x=\"1\" X=\"22\">", {"X=1", "X=\"22\""}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseAttributes(c.tag).Lines(), c.lines) << c.tag;
}

TEST(XmlParams, LookupsIgnoreCase) {
  const XmlAttributes params = ParseAttributes("<a:t Lang=\"en\" XML:Space=\"Preserve\">");
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

}  // namespace
}  // namespace dkscr
