#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "XmlTestUtil.h"
#include "xml/XmlTokenizer.h"

namespace dkscr {
namespace {

using test::LoadedXml;
using Kind = XmlToken;
using Tokens = std::vector<std::pair<Kind, std::string>>;

Tokens Tokenize(std::string_view data, bool keepSpaces = false) {
  XmlTokenizer tokenizer(data);
  Tokens tokens;
  std::string text;
  while (tokenizer.NextToken(keepSpaces) != Kind::kEndOfInput) {
    tokenizer.TokenText(text);
    tokens.emplace_back(tokenizer.Kind(), text);
  }
  return tokens;
}

TEST(XmlTokenizer, MarkupKindsAreTestedInOrderIgnoringCase) {
  const Tokens tokens = Tokenize(
      "<?XmL version='1.0'?><!-- c/><a><b/></a/></c><?pi?><!DOCTYPE x><![CDATA[y]]>");
  const Tokens expected = {
      {Kind::kDeclaration, "<?XmL version='1.0'?>"},
      {Kind::kComment, "<!-- c/>"},  // a comment even though it ends in "/>"
      {Kind::kStartTag, "<a>"},
      {Kind::kEmptyTag, "<b/>"},
      {Kind::kEmptyTag, "</a/>"},  // "/>" is tested before "</"
      {Kind::kEndTag, "</c>"},
      {Kind::kStartTag, "<?pi?>"},
      {Kind::kStartTag, "<!DOCTYPE x>"},
      {Kind::kStartTag, "<![CDATA[y]]>"},
  };
  EXPECT_EQ(tokens, expected);
}

TEST(XmlTokenizer, EndTagsOfAnyLengthAndEndTagsThatAreEmpty) {
  // End tags take a shorter scan; one ending in "/>" goes back to the full one.
  const std::string longName(20, 'n');
  const Tokens tokens =
      Tokenize("<r></r\r\n><x></" + longName + "\n></x y=\"1\"/></" + longName + "/></z");
  const Tokens expected = {
      {Kind::kStartTag, "<r>"},
      {Kind::kEndTag, "</r>"},
      {Kind::kStartTag, "<x>"},
      {Kind::kEndTag, "</" + longName + "\n>"},
      {Kind::kEmptyTag, "</x y=\"1\"/>"},
      {Kind::kEmptyTag, "</" + longName + "/>"},
  };  // "</z" never closes: the input ends
  EXPECT_EQ(tokens, expected);
  LoadedXml xml("<r></x y=\"1\"/></r>");
  ASSERT_EQ(xml.Root().ChildCount(), 1);
  EXPECT_EQ(xml.Root().Child(0)->Name(), "/x");
  EXPECT_EQ(xml.Root().Child(0)->Attributes().Value("y"), "1");
}

TEST(XmlTokenizer, MarkupRunsToTheFirstCloseWhateverTheQuotes) {
  const Tokens tokens = Tokenize("<a x=\"1>2\">t</a><!-- a > b -->");
  const Tokens expected = {
      {Kind::kStartTag, "<a x=\"1>"}, {Kind::kText, "2\">t"}, {Kind::kEndTag, "</a>"},
      {Kind::kComment, "<!-- a >"},   {Kind::kText, "b -->"},
  };
  EXPECT_EQ(tokens, expected);
}

TEST(XmlTokenizer, TextLosesEdgeWhiteSpaceUnlessSpacesAreKept) {
  EXPECT_EQ(Tokenize(" \t\r\n  a b \t\r\n <x>"),
            (Tokens{{Kind::kText, "a b"}, {Kind::kStartTag, "<x>"}}));
  // Kept spaces stay at both edges; tabs, CRs and LFs at the edges still go.
  EXPECT_EQ(Tokenize("\t  a b  \n<x>", true),
            (Tokens{{Kind::kText, "  a b  "}, {Kind::kStartTag, "<x>"}}));
  // White space between tags is no token, unless spaces are kept and present.
  EXPECT_EQ(Tokenize("<a>\r\n\t</a>", true), (Tokens{{Kind::kStartTag, "<a>"}, {Kind::kEndTag, "</a>"}}));
  EXPECT_EQ(Tokenize("<a> </a>", true),
            (Tokens{{Kind::kStartTag, "<a>"}, {Kind::kText, " "}, {Kind::kEndTag, "</a>"}}));
  EXPECT_EQ(Tokenize("<a> </a>", false), (Tokens{{Kind::kStartTag, "<a>"}, {Kind::kEndTag, "</a>"}}));
}

TEST(XmlTokenizer, HighBytesAreSignificant) {
  EXPECT_EQ(Tokenize("\xC2\xA0x\xC2\xA0"), (Tokens{{Kind::kText, "\xC2\xA0x\xC2\xA0"}}));
}

TEST(XmlTokenizer, LineBreakPairsAreDeletedFromTokensCrLfFirst) {
  EXPECT_EQ(Tokenize("l1\r\nl2"), (Tokens{{Kind::kText, "l1l2"}}));
  EXPECT_EQ(Tokenize("l1\nl2"), (Tokens{{Kind::kText, "l1\nl2"}}));
  EXPECT_EQ(Tokenize("l1\rl2"), (Tokens{{Kind::kText, "l1\rl2"}}));
  EXPECT_EQ(Tokenize("l1\n\rl2"), (Tokens{{Kind::kText, "l1l2"}}));
  // Removing CR LF here leaves an LF CR pair, which the second pass then removes.
  EXPECT_EQ(Tokenize("a\n\r\n\rb"), (Tokens{{Kind::kText, "ab"}}));
  // One pass each: the CR LF that the deletion brings together stays.
  EXPECT_EQ(Tokenize("a\r\r\n\nb"), (Tokens{{Kind::kText, "a\r\nb"}}));
  EXPECT_EQ(Tokenize("<a\r\n b=\"1\">"), (Tokens{{Kind::kStartTag, "<a b=\"1\">"}}));
}

TEST(XmlTokenizer, ZeroByteEndsTheInput) {
  EXPECT_EQ(Tokenize(std::string_view("<a>x\0<b/>", 9)),
            (Tokens{{Kind::kStartTag, "<a>"}, {Kind::kText, "x"}}));
  EXPECT_TRUE(Tokenize(std::string_view("\0<a>", 4)).empty());
}

TEST(XmlTokenizer, MarkupWithoutCloseIsDropped) {
  EXPECT_EQ(Tokenize("x<a><b c=\"1\""), (Tokens{{Kind::kText, "x"}, {Kind::kStartTag, "<a>"}}));
  EXPECT_TRUE(Tokenize("<").empty());
  EXPECT_TRUE(Tokenize("").empty());
}

TEST(XmlTokenizer, CountsLinesSkippedAsWhiteSpace) {
  XmlTokenizer tokenizer("\n\n<a>\nx\ny\n</a>");
  EXPECT_EQ(tokenizer.NextToken(false), Kind::kStartTag);
  EXPECT_EQ(tokenizer.Line(), 3u);
  EXPECT_EQ(tokenizer.NextToken(false), Kind::kText);
  EXPECT_EQ(tokenizer.RawToken(), "x\ny");
  EXPECT_EQ(tokenizer.Line(), 4u);  // the LF inside the text is not white space skipped
  EXPECT_EQ(tokenizer.NextToken(false), Kind::kEndTag);
  EXPECT_EQ(tokenizer.Line(), 5u);
}

}  // namespace
}  // namespace dkscr
