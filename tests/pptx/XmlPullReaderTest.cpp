#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "xml/XmlPullReader.h"

namespace dkscr {
namespace {

using Event = XmlPullReader::Event;

// The events as one line: "<name" for a start, ">name" for an end, "[text]" for text.
std::string Events(std::string_view xml) {
  XmlPullReader reader(xml);
  std::string line;
  for (Event event = reader.Next(); event != Event::kEnd; event = reader.Next()) {
    if (event == Event::kStartElement) line += "<" + std::string(reader.Name());
    if (event == Event::kEndElement) line += ">" + std::string(reader.Name());
    if (event == Event::kText) line += "[" + reader.Text() + "]";
  }
  return line;
}

TEST(XmlPullReader, TextIsKeptExactlyAsWrittenWithReferencesDecoded) {
  EXPECT_EQ(Events("<t>\n\t a&amp;&#x41;&#66;&lt;&unknown;&#0; \t\n</t>"),
                   "<t[\n\t a&AB<&unknown;&#0; \t\n]>t");
  // White space between tags is text too: callers decide what it means.
  EXPECT_EQ(Events("<a>\r\n <b/>\t</a>"), "<a[\r\n ]<b>b[\t]>a");
  EXPECT_EQ(Events("<t>&#x1F600;&#xD800;</t>"), "<t[\xF0\x9F\x98\x80&#xD800;]>t");
}

TEST(XmlPullReader, MarkupThatHoldsAGreaterThanSignIsReadToItsRealEnd) {
  // A comment runs to "-->", a CDATA section to "]]>", a tag to the first ">" outside quotes.
  EXPECT_EQ(Events("<a><!-- x > y --><b/><![CDATA[<c> & ]]>z</a>"), "<a<b>b[<c> & ][z]>a");
  XmlPullReader reader("<a v=\"x>y\" w='p>q' r:id=\"rId2\">t</a>");
  ASSERT_EQ(reader.Next(), Event::kStartElement);
  EXPECT_EQ(reader.Attribute("v"), "x>y");
  EXPECT_EQ(reader.Attribute("w"), "p>q");
  EXPECT_EQ(reader.PrefixedAttribute("id"), "rId2");
  EXPECT_TRUE(reader.HasAttribute("w"));
  EXPECT_FALSE(reader.HasAttribute("x"));
  ASSERT_EQ(reader.Next(), Event::kText);
  EXPECT_EQ(reader.Text(), "t");
  // One kind of quote inside the other, several quoted values before the ">" inside one, and
  // a quote that never closes, which ends the input.
  XmlPullReader mixed("<a v='1' w=\"x'>y\" z='\">'><b/></a><c k='>");
  ASSERT_EQ(mixed.Next(), Event::kStartElement);
  EXPECT_EQ(mixed.Attribute("w"), "x'>y");
  EXPECT_EQ(mixed.Attribute("z"), "\">");
  EXPECT_EQ(Events("<a v='1' w=\"x'>y\" z='\">'><b/></a><c k='>"), "<a<b>b>a");
}

TEST(XmlPullReader, DeclarationsAndInstructionsArePassedOver) {
  EXPECT_EQ(Events("<?xml version='1.0'?>\n<!DOCTYPE p><?pi x?><p:sld>y</p:sld >"),
            "[\n]<p:sld[y]>p:sld");
}

TEST(XmlPullReader, EmptyElementsGiveAStartAndAnEnd) {
  XmlPullReader reader("<a:br a=\"/\"/><c/>");
  ASSERT_EQ(reader.Next(), Event::kStartElement);
  EXPECT_EQ(reader.LocalName(), "br");
  EXPECT_EQ(reader.Attribute("a"), "/");
  ASSERT_EQ(reader.Next(), Event::kEndElement);
  EXPECT_EQ(reader.Name(), "a:br");
  EXPECT_EQ(Events("<c/><d\n/>"), "<c>c<d>d");
}

TEST(XmlPullReader, InputEndsAtAZeroByteOrAtMarkupThatNeverCloses) {
  EXPECT_EQ(Events(std::string_view("<a>x\0<b/>", 9)), "<a[x]");
  EXPECT_EQ(Events("<a>x<b"), "<a[x]");
  EXPECT_EQ(Events("<a>x<!-- > never"), "<a[x]");
  EXPECT_EQ(Events("<a>x<![CDATA[ > never"), "<a[x]");
  EXPECT_EQ(Events("<a>x<b v=\"> never"), "<a[x]");
  EXPECT_EQ(Events(""), "");
}

TEST(XmlPullReader, ManyPartsInARowEachReadFromTheirOwnStart) {
  // Long text and tags cross every boundary of the tokenizer's sixteen-byte scan.
  std::string xml = "<r>";
  std::string expected = "<r";
  for (int i = 0; i < 40; ++i) {
    const std::string text(static_cast<size_t>(i), static_cast<char>('a' + i % 26));
    const std::string name = "n" + std::string(static_cast<size_t>(i % 17), 'x');
    xml += "<" + name + " k='" + text + "'>" + text + "</" + name + ">";
    expected += "<" + name + (text.empty() ? "" : "[" + text + "]") + ">" + name;
  }
  xml += "</r>";
  expected += ">r";
  EXPECT_EQ(Events(xml), expected);
}

}  // namespace
}  // namespace dkscr
