// Bullets a .pptx paragraph inherits, level by level: its own, its shape's list style, its
// layout's placeholder, its master's placeholder, the master's text styles, the presentation's
// default text style; numbers counted per text body; one layout and master serving two slides.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/support/Conversions.h"
#include "tests/support/PptxBuilder.h"
#include "tests/support/ZipWriter.h"

namespace dkscr {
namespace {

using test::kNs;

std::string Char(std::string_view c) { return "<a:buChar char=\"" + std::string(c) + "\"/>"; }
std::string Number(std::string_view scheme) { return "<a:buAutoNum type=\"" + std::string(scheme) + "\"/>"; }
// A list style with the given bullets at levels 1..n ("" leaves a level unset).
std::string Levels(const std::vector<std::string>& bullets) {
  std::string xml;
  for (size_t i = 0; i < bullets.size(); ++i) {
    if (bullets[i].empty()) continue;
    const std::string level = "lvl" + std::to_string(i + 1) + "pPr";
    xml += "<a:" + level + " marL=\"0\"><a:defRPr sz=\"1800\"/>" + bullets[i] + "</a:" + level + ">";
  }
  return xml;
}
std::string Placeholder(int id, std::string_view ph, std::string_view listStyle, std::string_view paragraphs) {
  return "<p:sp><p:nvSpPr><p:cNvPr id=\"" + std::to_string(id) + "\" name=\"s" + std::to_string(id) +
         "\"/><p:cNvSpPr/><p:nvPr>" + (ph.empty() ? std::string() : "<p:ph " + std::string(ph) + "/>") +
         "</p:nvPr></p:nvSpPr><p:spPr/><p:txBody><a:bodyPr/><a:lstStyle>" + std::string(listStyle) +
         "</a:lstStyle>" + std::string(paragraphs) + "</p:txBody></p:sp>";
}
std::string Paragraph(std::string_view text, int level, std::string_view bullet = "") {
  return "<a:p><a:pPr lvl=\"" + std::to_string(level) + "\">" + std::string(bullet) + "</a:pPr><a:r><a:t>" +
         std::string(text) + "</a:t></a:r></a:p>";
}

std::string BulletDeck() {
  const std::string presentation =
      "<?xml version=\"1.0\"?><p:presentation" + std::string(kNs) +
      "><p:sldIdLst><p:sldId id=\"256\" r:id=\"rId1\"/><p:sldId id=\"257\" r:id=\"rId2\"/></p:sldIdLst>"
      "<p:defaultTextStyle>" + Levels({Char("d1")}) + "</p:defaultTextStyle></p:presentation>";
  // The master: its body placeholder sets level 2, its text styles the rest; sample text in it
  // is no slide's.
  const std::string master =
      "<?xml version=\"1.0\"?><p:sldMaster" + std::string(kNs) + "><p:cSld name=\"Master\"><p:spTree>" +
      Placeholder(2, "type=\"title\"", "", test::Para("Master title")) +
      Placeholder(3, "type=\"body\" idx=\"1\"", Levels({"", Char("m2")}), test::Para("Master text")) +
      "</p:spTree></p:cSld><p:txStyles><p:titleStyle>" + Levels({Char("T")}) + "</p:titleStyle><p:bodyStyle>" +
      Levels({Char("B1"), Char("B2"), Char("B3"), "", Char("B5")}) + "</p:bodyStyle><p:otherStyle>" +
      Levels({Char("O1")}) + "</p:otherStyle></p:txStyles></p:sldMaster>";
  // The layout's body placeholder sets level 3 over the master's.
  const std::string layout =
      "<?xml version=\"1.0\"?><p:sldLayout" + std::string(kNs) + "><p:cSld name=\"Two levels\"><p:spTree>" +
      Placeholder(2, "type=\"title\"", "", "") + Placeholder(3, "type=\"body\" idx=\"1\"", Levels({"", "", Char("L3")}), "") +
      "</p:spTree></p:cSld></p:sldLayout>";
  // Slide 1: the body's own list style numbers level 1; a paragraph's own bullet breaks the
  // count, which starts again after it; a text box takes the default text style.
  const std::string slide1 = test::SlideXml(
      Placeholder(2, "type=\"title\"", "", test::Para("Heading")) +
      Placeholder(3, "idx=\"1\"", Levels({Number("arabicParenR")}),
                  Paragraph("one", 0) + Paragraph("two", 0) + Paragraph("star", 0, Char("*")) + Paragraph("again", 0) +
                      Paragraph("second", 1) + Paragraph("third", 2) + Paragraph("fourth", 3) + Paragraph("fifth", 4) +
                      Paragraph("none", 0, "<a:buNone/>")) +
      Placeholder(4, "", "", Paragraph("box", 0)));
  // Slide 2: the same layout and master; no list style of its own, numbers of its own.
  const std::string slide2 = test::SlideXml(
      Placeholder(2, "type=\"title\"", "", test::Para("Next")) +
      Placeholder(3, "idx=\"1\"", "",
                  Paragraph("plain", 0) + Paragraph("A", 0, Number("alphaUcPeriod")) +
                      Paragraph("B", 0, Number("alphaUcPeriod")) + Paragraph("deep", 2) +
                      Paragraph("C", 0, Number("alphaUcPeriod"))));
  test::ZipWriter zip;
  zip.Add("_rels/.rels", test::Rels({{"officeDocument", "ppt/presentation.xml"}}));
  zip.Add("ppt/presentation.xml", presentation);
  zip.Add("ppt/_rels/presentation.xml.rels", test::Rels({{"slide", "slides/slide1.xml"}, {"slide", "slides/slide2.xml"}}));
  zip.Add("ppt/slideMasters/slideMaster1.xml", master);
  zip.Add("ppt/slideLayouts/slideLayout1.xml", layout);
  zip.Add("ppt/slideLayouts/_rels/slideLayout1.xml.rels", test::Rels({{"slideMaster", "../slideMasters/slideMaster1.xml"}}));
  zip.Add("ppt/slides/slide1.xml", slide1);
  zip.Add("ppt/slides/_rels/slide1.xml.rels", test::Rels({{"slideLayout", "../slideLayouts/slideLayout1.xml"}}));
  zip.Add("ppt/slides/slide2.xml", slide2);
  zip.Add("ppt/slides/_rels/slide2.xml.rels", test::Rels({{"slideLayout", "../slideLayouts/slideLayout1.xml"}}));
  return zip.Build();
}

using Bullets = std::vector<std::pair<std::string, std::optional<std::string>>>;

Bullets BulletsOf(const SlideBlock& block) {
  Bullets out;
  for (const TextParagraph& paragraph : block.paragraphs) out.emplace_back(paragraph.text, paragraph.bullet);
  return out;
}

TEST(PptxBulletStylesTest, EachLevelTakesTheNearestStyleThatSetsIt) {
  SlideDeck deck;
  ASSERT_EQ(test::ReadDeckOfBytes(PresentationKind::kPptx, BulletDeck(), deck), 0);
  ASSERT_EQ(deck.slides.size(), 2u);

  const Slide& first = deck.slides[0];
  EXPECT_EQ(first.layout, "Two levels");
  ASSERT_EQ(first.blocks.size(), 3u);
  EXPECT_EQ(BulletsOf(first.blocks[0]), (Bullets{{"Heading", "T"}})) << "the master's title style";
  EXPECT_EQ(BulletsOf(first.blocks[1]), (Bullets{{"one", "1)"},
                                                 {"two", "2)"},
                                                 {"star", "*"},
                                                 {"again", "1)"},
                                                 {"second", "m2"},
                                                 {"third", "L3"},
                                                 {"fourth", std::nullopt},
                                                 {"fifth", "B5"},
                                                 {"none", std::nullopt}}));
  EXPECT_EQ(BulletsOf(first.blocks[2]), (Bullets{{"box", "d1"}})) << "no placeholder: the default text style";

  // The second slide reads the same layout and master: the body style where nothing nearer
  // sets a level, and numbers of its own from the start.
  const Slide& second = deck.slides[1];
  EXPECT_EQ(second.layout, "Two levels");
  ASSERT_EQ(second.blocks.size(), 2u);
  EXPECT_EQ(BulletsOf(second.blocks[0]), (Bullets{{"Next", "T"}}));
  EXPECT_EQ(BulletsOf(second.blocks[1]),
            (Bullets{{"plain", "B1"}, {"A", "A."}, {"B", "B."}, {"deep", "L3"}, {"C", "C."}}));
}

}  // namespace
}  // namespace dkscr
