#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "XmlTestUtil.h"
#include "openxml/KelXMLTokenizer.h"

namespace dkscr {
namespace {

using test::LoadedXml;
using Kind = TXMLTokenKind;
using Tokens = std::vector<std::pair<Kind, std::string>>;

Tokens Tokenize(std::string_view data, bool keepSpaces = false) {
  TXMLLargeTokenizer tokenizer(data);
  Tokens tokens;
  std::string text;
  while (tokenizer.NextToken(keepSpaces) != Kind::EndOfInput) {
    tokenizer.TokenText(text);
    tokens.emplace_back(tokenizer.Kind(), text);
  }
  return tokens;
}

TEST(XmlTokenizer, MarkupKindsAreTestedInOrderIgnoringCase) {
  const Tokens tokens = Tokenize(
      "<?XmL version='1.0'?><!-- c/><a><b/></a/></c><?pi?><!DOCTYPE x><![CDATA[y]]>");
  const Tokens expected = {
      {Kind::Declaration, "<?XmL version='1.0'?>"},
      {Kind::Comment, "<!-- c/>"},  // a comment even though it ends in "/>"
      {Kind::StartTag, "<a>"},
      {Kind::EmptyTag, "<b/>"},
      {Kind::EmptyTag, "</a/>"},  // "/>" is tested before "</"
      {Kind::EndTag, "</c>"},
      {Kind::StartTag, "<?pi?>"},
      {Kind::StartTag, "<!DOCTYPE x>"},
      {Kind::StartTag, "<![CDATA[y]]>"},
  };
  EXPECT_EQ(tokens, expected);
}

TEST(XmlTokenizer, EndTagsOfAnyLengthAndEndTagsThatAreEmpty) {
  // End tags take a shorter scan; one ending in "/>" goes back to the full one.
  const std::string longName(20, 'n');
  const Tokens tokens =
      Tokenize("<r></r\r\n><x></" + longName + "\n></x y=\"1\"/></" + longName + "/></z");
  const Tokens expected = {
      {Kind::StartTag, "<r>"},
      {Kind::EndTag, "</r>"},
      {Kind::StartTag, "<x>"},
      {Kind::EndTag, "</" + longName + "\n>"},
      {Kind::EmptyTag, "</x y=\"1\"/>"},
      {Kind::EmptyTag, "</" + longName + "/>"},
  };  // "</z" never closes: the input ends
  EXPECT_EQ(tokens, expected);
  LoadedXml xml("<r></x y=\"1\"/></r>");
  ASSERT_EQ(xml.Root().SubItemCount(), 1);
  EXPECT_EQ(xml.Root().SubItem(0)->Name(), "/x");
  EXPECT_EQ(xml.Root().SubItem(0)->Params().Value("y"), "1");
}

TEST(XmlTokenizer, MarkupRunsToTheFirstCloseWhateverTheQuotes) {
  const Tokens tokens = Tokenize("<a x=\"1>2\">t</a><!-- a > b -->");
  const Tokens expected = {
      {Kind::StartTag, "<a x=\"1>"}, {Kind::Text, "2\">t"}, {Kind::EndTag, "</a>"},
      {Kind::Comment, "<!-- a >"},   {Kind::Text, "b -->"},
  };
  EXPECT_EQ(tokens, expected);
}

TEST(XmlTokenizer, TextLosesEdgeWhiteSpaceUnlessSpacesAreKept) {
  EXPECT_EQ(Tokenize(" \t\r\n  a b \t\r\n <x>"),
            (Tokens{{Kind::Text, "a b"}, {Kind::StartTag, "<x>"}}));
  // Kept spaces stay at both edges; tabs, CRs and LFs at the edges still go.
  EXPECT_EQ(Tokenize("\t  a b  \n<x>", true),
            (Tokens{{Kind::Text, "  a b  "}, {Kind::StartTag, "<x>"}}));
  // White space between tags is no token, unless spaces are kept and present.
  EXPECT_EQ(Tokenize("<a>\r\n\t</a>", true), (Tokens{{Kind::StartTag, "<a>"}, {Kind::EndTag, "</a>"}}));
  EXPECT_EQ(Tokenize("<a> </a>", true),
            (Tokens{{Kind::StartTag, "<a>"}, {Kind::Text, " "}, {Kind::EndTag, "</a>"}}));
  EXPECT_EQ(Tokenize("<a> </a>", false), (Tokens{{Kind::StartTag, "<a>"}, {Kind::EndTag, "</a>"}}));
}

TEST(XmlTokenizer, HighBytesAreSignificant) {
  EXPECT_EQ(Tokenize("\xC2\xA0x\xC2\xA0"), (Tokens{{Kind::Text, "\xC2\xA0x\xC2\xA0"}}));
}

TEST(XmlTokenizer, LineBreakPairsAreDeletedFromTokensCrLfFirst) {
  EXPECT_EQ(Tokenize("l1\r\nl2"), (Tokens{{Kind::Text, "l1l2"}}));
  EXPECT_EQ(Tokenize("l1\nl2"), (Tokens{{Kind::Text, "l1\nl2"}}));
  EXPECT_EQ(Tokenize("l1\rl2"), (Tokens{{Kind::Text, "l1\rl2"}}));
  EXPECT_EQ(Tokenize("l1\n\rl2"), (Tokens{{Kind::Text, "l1l2"}}));
  // Removing CR LF here leaves an LF CR pair, which the second pass then removes.
  EXPECT_EQ(Tokenize("a\n\r\n\rb"), (Tokens{{Kind::Text, "ab"}}));
  // One pass each: the CR LF that the deletion brings together stays.
  EXPECT_EQ(Tokenize("a\r\r\n\nb"), (Tokens{{Kind::Text, "a\r\nb"}}));
  EXPECT_EQ(Tokenize("<a\r\n b=\"1\">"), (Tokens{{Kind::StartTag, "<a b=\"1\">"}}));
}

TEST(XmlTokenizer, ZeroByteEndsTheInput) {
  EXPECT_EQ(Tokenize(std::string_view("<a>x\0<b/>", 9)),
            (Tokens{{Kind::StartTag, "<a>"}, {Kind::Text, "x"}}));
  EXPECT_TRUE(Tokenize(std::string_view("\0<a>", 4)).empty());
}

TEST(XmlTokenizer, MarkupWithoutCloseIsDropped) {
  EXPECT_EQ(Tokenize("x<a><b c=\"1\""), (Tokens{{Kind::Text, "x"}, {Kind::StartTag, "<a>"}}));
  EXPECT_TRUE(Tokenize("<").empty());
  EXPECT_TRUE(Tokenize("").empty());
}

TEST(XmlTokenizer, CountsLinesSkippedAsWhiteSpace) {
  TXMLLargeTokenizer tokenizer("\n\n<a>\nx\ny\n</a>");
  EXPECT_EQ(tokenizer.NextToken(false), Kind::StartTag);
  EXPECT_EQ(tokenizer.Line(), 3u);
  EXPECT_EQ(tokenizer.NextToken(false), Kind::Text);
  EXPECT_EQ(tokenizer.RawToken(), "x\ny");
  EXPECT_EQ(tokenizer.Line(), 4u);  // the LF inside the text is not white space skipped
  EXPECT_EQ(tokenizer.NextToken(false), Kind::EndTag);
  EXPECT_EQ(tokenizer.Line(), 5u);
}

}  // namespace
}  // namespace dkscr
