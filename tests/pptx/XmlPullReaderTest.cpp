#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "xml/XmlPullReader.h"

namespace dkscr {
namespace {

using Event = XmlPullReader::Event;

// The events as one line: "<name" for a start, ">name" for an end, "[text]" for text.
std::string Events(std::string_view xml, XmlBuffer* kept = nullptr) {
  XmlPullReader reader(xml, kept);
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

// Parts read one after another share one copy's storage: a shorter part after a longer one
// reads as itself alone, however the longer one ended.
TEST(XmlPullReader, KeptBufferServesEachDocumentAlone) {
  XmlBuffer kept;
  EXPECT_EQ(Events("<a><b>a long text that the next document must never show</b></a>", &kept),
            "<a<b[a long text that the next document must never show]>b>a");
  ASSERT_NE(kept.bytes, nullptr);
  const char* storage = kept.bytes.get();
  EXPECT_EQ(Events("<c>x", &kept), "<c[x]");
  EXPECT_EQ(Events(std::string_view("<d/>\0<e/>", 9), &kept), "<d>d");
  EXPECT_EQ(Events("", &kept), "");
  EXPECT_EQ(kept.bytes.get(), storage);
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

TEST(XmlPullReader, AttributesAreFoundAmongManyWhateverTheirOrder) {
  // Forty attributes span several of the reader's sixteen-byte loads; each is asked for in
  // reverse order, so that a lookup depending on the previous one would go wrong.
  std::string xml = "<p:e";
  for (int i = 0; i < 40; ++i) xml += " k" + std::to_string(i) + "=\"v" + std::to_string(i * 7) + "\"";
  xml += "/>";
  XmlPullReader reader(xml);
  ASSERT_EQ(reader.Next(), Event::kStartElement);
  for (int i = 39; i >= 0; --i) {
    EXPECT_EQ(reader.Attribute("k" + std::to_string(i)), "v" + std::to_string(i * 7)) << i;
  }
  EXPECT_FALSE(reader.HasAttribute("k40"));
  EXPECT_FALSE(reader.HasAttribute("k"));
  EXPECT_EQ(reader.Next(), Event::kEndElement);
  EXPECT_FALSE(reader.HasAttribute("k1"));  // an end has no attributes
}

TEST(XmlPullReader, TheFirstOfDuplicateNamesAndPrefixedNamesAreMatchedAsWritten) {
  XmlPullReader reader("<a id='1' id='2' r:id='r1' x:id='x1' rid='n' a:b:c='3'><b k='1'/></a>");
  ASSERT_EQ(reader.Next(), Event::kStartElement);
  EXPECT_EQ(reader.Attribute("id"), "1");
  EXPECT_EQ(reader.Attribute("r:id"), "r1");
  EXPECT_EQ(reader.Attribute("x:id"), "x1");
  EXPECT_EQ(reader.PrefixedAttribute("id"), "r1");  // the first with a prefix
  EXPECT_EQ(reader.PrefixedAttribute("b:c"), "3");  // after the first colon
  EXPECT_EQ(reader.PrefixedAttribute("rid"), "");
  EXPECT_EQ(reader.Attribute("ID"), "");
  // The next start tag's attributes replace the index of this one.
  ASSERT_EQ(reader.Next(), Event::kStartElement);
  EXPECT_EQ(reader.Attribute("k"), "1");
  EXPECT_FALSE(reader.HasAttribute("id"));
}

TEST(XmlPullReader, AttributeValuesKeepMarkupCharactersAndDecodeReferences) {
  XmlPullReader reader(
      "<a v=\"<b>&lt;&#x3E;&amp;amp;\" w='say \"hi\" &apos;x&apos;' e=\"\" s = \"sp\"\n\tt=\"t\">x</a>");
  ASSERT_EQ(reader.Next(), Event::kStartElement);
  EXPECT_EQ(reader.Name(), "a");
  EXPECT_EQ(reader.Attribute("v"), "<b><>&amp;");
  EXPECT_EQ(reader.Attribute("w"), "say \"hi\" 'x'");
  EXPECT_TRUE(reader.HasAttribute("e"));
  EXPECT_EQ(reader.Attribute("e"), "");
  EXPECT_EQ(reader.Attribute("s"), "sp");  // spaces around "=" are allowed
  EXPECT_EQ(reader.Attribute("t"), "t");
  ASSERT_EQ(reader.Next(), Event::kText);
  EXPECT_EQ(reader.Text(), "x");
}

TEST(XmlPullReader, MalformedAttributeListsGiveTheWellFormedAttributesTheyHold) {
  // A name without a value and an unquoted value are passed over; what a quoted value holds
  // is never an attribute.
  XmlPullReader reader("<a bare x=1 y=\"2\" =\"3\" z='4' q=\" z2='5' \">");
  ASSERT_EQ(reader.Next(), Event::kStartElement);
  EXPECT_FALSE(reader.HasAttribute("bare"));
  EXPECT_FALSE(reader.HasAttribute("x"));
  EXPECT_EQ(reader.Attribute("y"), "2");
  EXPECT_EQ(reader.Attribute(""), "3");
  EXPECT_EQ(reader.Attribute("z"), "4");
  EXPECT_EQ(reader.Attribute("q"), " z2='5' ");
  EXPECT_FALSE(reader.HasAttribute("z2"));
}

TEST(XmlPullReader, CommentsInstructionsAndCdataBetweenTagsKeepTheTagsIntact) {
  EXPECT_EQ(Events("<a><!-- <b x='>'> --><?pi c?><![CDATA[<d e=\"]]><f g=\"<!--\"/></a>"),
            "<a[<d e=\"]<f>f>a");
  EXPECT_EQ(Events("<a><!----><!-- - -- --></a>"), "<a>a");
  // A declaration ends at its first ">", quoted or not.
  EXPECT_EQ(Events("<!DOCTYPE a \">\"><b/>"), "[\">]<b>b");
}

TEST(XmlPullReader, ATagCutByTheEndOfTheInputEndsTheEventsWherePartsAreCut) {
  const std::string whole = "<p:sp a=\"1>2\" b='x'><a:t>text</a:t></p:sp>";
  const size_t endTag = whole.find("</a:t>");
  for (size_t size = 0; size < whole.size(); ++size) {
    const std::string events = Events(std::string_view(whole).substr(0, size));
    // No event of a tag that the cut leaves open, the ">" inside its value included.
    if (size < 20) {
      EXPECT_EQ(events, "") << size;
    }
    if (size >= endTag && size < endTag + 6) {
      EXPECT_EQ(events, "<p:sp<a:t[text]") << size;
    }
  }
  EXPECT_EQ(Events(whole), "<p:sp<a:t[text]>a:t>p:sp");
  // The zero byte that ends the input stops a quoted value too.
  EXPECT_EQ(Events(std::string_view("<a v='x\0'/><b/>", 15)), "");
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
