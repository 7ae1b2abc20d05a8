#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "XmlTestUtil.h"
#include "pptx/RunText.h"

namespace dkscr {
namespace {

using test::LoadedXml;

std::string TextOf(std::string_view xml) {
  LoadedXml loaded(xml);
  return SlideText(loaded.Root());
}

// A slide with one text body holding the given paragraphs (already marked up).
std::string Slide(std::string_view paragraphs) {
  return std::string(
             "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
             "<p:sld xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\">"
             "<p:cSld><p:spTree><p:sp><p:txBody><a:bodyPr/><a:lstStyle/>") +
         std::string(paragraphs) + "</p:txBody></p:sp></p:spTree></p:cSld></p:sld>";
}

TEST(SlideText, LinesOfParagraphsAndRuns) {
  const struct {
    std::string xml;
    std::string text;
  } cases[] = {
      {Slide("<a:p><a:r><a:t>Intro</a:t></a:r></a:p>"
             "<a:p><a:r><a:t>First</a:t></a:r><a:r><a:t> point</a:t></a:r></a:p>"
             "<a:p><a:r><a:rPr lang=\"en-US\"/><a:t>Second</a:t></a:r></a:p>"),
       "Intro\r\nFirstpoint\r\nSecond\r\n"},
      // Trimmed runs join without a space unless it is preserved.
      {Slide("<a:p><a:r><a:t>Hello </a:t></a:r><a:r><a:t>World</a:t></a:r></a:p>"), "HelloWorld\r\n"},
      {Slide("<a:p><a:r><a:t xml:space=\"preserve\">Hello </a:t></a:r><a:r><a:t>World</a:t></a:r></a:p>"),
       "Hello World\r\n"},
      {Slide("<a:p><a:r><a:t>   </a:t></a:r></a:p>"), "\r\n"},
      // Line-break and tab elements give nothing; empty paragraphs give empty lines.
      {Slide("<a:p><a:r><a:t>one</a:t></a:r><a:br><a:rPr/></a:br><a:r><a:t>two</a:t></a:r><a:tab/></a:p>"),
       "onetwo\r\n"},
      {Slide("<a:p/><a:p><a:endParaRPr/></a:p><a:p><a:r><a:t>x</a:t></a:r></a:p>"), "\r\n\r\nx\r\n"},
      // Fields and table cells contribute.
      {Slide("<a:p><a:fld id=\"{1}\" type=\"slidenum\"><a:t>7</a:t></a:fld></a:p>"), "7\r\n"},
      {"<a:tbl><a:tr><a:tc><a:txBody><a:p><a:r><a:t>c1</a:t></a:r></a:p></a:txBody></a:tc>"
       "<a:tc><a:txBody><a:p><a:r><a:t>c2</a:t></a:r></a:p></a:txBody></a:tc></a:tr></a:tbl>",
       "c1\r\nc2\r\n"},
      {Slide("<a:p><a:r><a:t>a &amp; b &lt;c&gt; &#233; &apos;</a:t></a:r></a:p>"), "a & b <c> &#233; &apos;\r\n"},
      // Names match byte for byte: another prefix or letter case is not the run text.
      {Slide("<a:p><d:t>x</d:t><A:T>y</A:T><a:T>z</a:T><a:r><a:t>w</a:t></a:r></a:p>"), "w\r\n"},
      {"<d:p><d:r><d:t>x</d:t></d:r></d:p>", ""},
      // The a:t text comes before the text of its own children; a:p ends after its children.
      {"<a:p><a:t>outer<a:t>inner</a:t>more</a:t></a:p>", "outer\r\nmoreinner\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(TextOf(c.xml), c.text) << c.xml;
}

TEST(SlideText, MillionLevelsLoadReadAndFreeWithoutRecursion) {
  constexpr int kDepth = 1000000;
  std::string xml;
  xml.reserve(kDepth * 11 + 32);
  for (int i = 0; i < kDepth; ++i) xml += "<a:p>";
  xml += "<a:t>x</a:t>";
  for (int i = 0; i < kDepth; ++i) xml += "</a:p>";
  auto doc = std::make_unique<XmlTree>();
  doc->LoadFromStream(xml);
  const XmlElement* item = &doc->Root();
  int depth = 1;
  for (; item->ChildCount() == 1 && item->Child(0)->Name() == "a:p"; ++depth) item = item->Child(0);
  EXPECT_EQ(depth, kDepth);
  const std::string text = SlideText(doc->Root());
  ASSERT_EQ(text.size(), 1u + 2u * kDepth);
  EXPECT_EQ(text.substr(0, 3), "x\r\n");
  doc->Clear();
  EXPECT_EQ(doc->Root().ChildCount(), 0);
  doc->LoadFromStream(xml);
  doc.reset();  // the destructor frees the tree as well
}

}  // namespace
}  // namespace dkscr
