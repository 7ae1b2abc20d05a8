// Layouts and masters: what they give the slides (name, placeholders with their list styles,
// the master's text styles) whatever stands around it, and the same when parts of them that
// usually give nothing (geometry, backgrounds, extensions) hold what counts after all.
#include <string>

#include <gtest/gtest.h>

#include "pptx/ListStyles.h"

namespace dkscr {
namespace {

// A list style whose first level has the bullet character `c`.
std::string LevelOne(const std::string& element, const std::string& c) {
  return "<a:" + element + "><a:lvl1pPr><a:buChar char=\"" + c + "\"/></a:lvl1pPr></a:" + element + ">";
}

std::string Layout(const std::string& shapes) {
  return "<?xml version=\"1.0\"?><p:sldLayout xmlns:p=\"p\" xmlns:a=\"a\"><p:cSld name=\"Two &amp; more\">"
         "<p:bg><p:bgPr><a:solidFill/></p:bgPr></p:bg><p:spTree><p:nvGrpSpPr/><p:grpSpPr><a:xfrm/></p:grpSpPr>" +
         shapes + "</p:spTree></p:cSld><p:extLst><p:ext uri=\"{x}\"/></p:extLst></p:sldLayout>";
}

// Geometry as drawing programs write it, with values that hold markup characters.
const std::string kGeometry =
    "<p:spPr><a:custGeom><a:pathLst><a:path w=\"10\" h=\"20\"><a:moveTo><a:pt x=\"1\" y=\"2\"/></a:moveTo>"
    "<a:lnTo><a:pt x='3' y=\"4>5\"/></a:lnTo><!-- </p:spPr> --><a:close/></a:path></a:pathLst></a:custGeom>"
    "<a:ln><a:noFill/></a:ln></p:spPr><p:style><a:lnRef idx=\"2\"/></p:style>";

std::string Shape(const std::string& nonVisual, const std::string& rest) {
  return "<p:sp><p:nvSpPr><p:cNvPr id=\"2\" name=\"x\"/><p:cNvSpPr/>" + nonVisual + "</p:nvSpPr>" + rest + "</p:sp>";
}

std::string Body(const std::string& listStyle) {
  return "<p:txBody><a:bodyPr/>" + listStyle + "<a:p><a:r><a:t>t</a:t></a:r></a:p></p:txBody>";
}

TEST(TemplatePartTest, PlaceholdersKeepTheirListStylesBesideShapesAndGeometry) {
  const TemplatePart part = ReadTemplatePart(Layout(
      Shape("<p:nvPr/>", kGeometry + Body(LevelOne("lstStyle", "-"))) +
      Shape("<p:nvPr><p:ph type=\"body\" idx=\"1\"/></p:nvPr>", kGeometry + Body(LevelOne("lstStyle", "*"))) +
      "<p:pic><p:nvPicPr/><p:blipFill/>" + kGeometry + "</p:pic>" +
      Shape("<p:nvPr><p:ph type=\"title\"/></p:nvPr>", kGeometry)));
  EXPECT_EQ(part.name, "Two & more");
  ASSERT_EQ(part.placeholders.size(), 2u);
  EXPECT_EQ(part.placeholders[0].type, "body");
  EXPECT_EQ(part.placeholders[0].index, "1");
  EXPECT_EQ(part.placeholders[0].list.levels[0].character, "*");
  EXPECT_EQ(part.placeholders[1].type, "title");
  EXPECT_FALSE(part.placeholders[1].list.levels[0].IsSet());
}

TEST(TemplatePartTest, WhatCountsIsReadWhereverItStands) {
  // A placeholder mark in the shape's geometry, alone or after another.
  TemplatePart part = ReadTemplatePart(Layout(Shape("", "<p:spPr><p:nvPr><p:ph type=\"dt\"/></p:nvPr></p:spPr>")));
  ASSERT_EQ(part.placeholders.size(), 1u);
  EXPECT_EQ(part.placeholders[0].type, "dt");
  part = ReadTemplatePart(Layout(Shape("<p:nvPr><p:ph type=\"body\"/></p:nvPr>",
                                       "<p:spPr><p:nvPr><p:ph type=\"ftr\"/></p:nvPr></p:spPr>")));
  ASSERT_EQ(part.placeholders.size(), 1u);
  EXPECT_EQ(part.placeholders[0].type, "ftr");

  // A placeholder mark after the first non-visual properties said none.
  part = ReadTemplatePart(Layout(Shape("<p:nvPr/>", "<p:nvSpPr><p:nvPr><p:ph idx=\"7\"/></p:nvPr></p:nvSpPr>" +
                                                       Body(LevelOne("lstStyle", "+")))));
  ASSERT_EQ(part.placeholders.size(), 1u);
  EXPECT_EQ(part.placeholders[0].index, "7");
  EXPECT_EQ(part.placeholders[0].list.levels[0].character, "+");

  // A placeholder's list style inside its geometry.
  part = ReadTemplatePart(Layout(Shape("<p:nvPr><p:ph/></p:nvPr>", "<p:spPr>" + Body(LevelOne("lstStyle", "#")) +
                                                                      "</p:spPr>")));
  ASSERT_EQ(part.placeholders.size(), 1u);
  EXPECT_EQ(part.placeholders[0].list.levels[0].character, "#");

  // A master's text styles inside its background.
  part = ReadTemplatePart("<p:sldMaster><p:cSld><p:bg><p:txStyles>" + LevelOne("titleStyle", "t") +
                          "</p:txStyles></p:bg></p:cSld><p:txStyles>" + LevelOne("bodyStyle", "b") +
                          "</p:txStyles></p:sldMaster>");
  EXPECT_EQ(part.titleStyle.levels[0].character, "t");
  EXPECT_EQ(part.bodyStyle.levels[0].character, "b");

  // A name inside an outermost element that is otherwise passed over.
  EXPECT_EQ(ReadTemplatePart("<p:spPr><p:cSld name=\"n\"/></p:spPr>").name, "n");
}

TEST(TemplatePartTest, ListStylesTakeOnlyTheBulletsOfTheirLevels) {
  // Bullets deeper than a level's own children, beside the levels or before a level count
  // for nothing; those after deep neighbours count.
  const std::string style =
      "<a:defPPr><a:buChar char=\"d\"/></a:defPPr>"
      "<a:lvl1pPr><a:defRPr><a:solidFill><a:buChar char=\"x\"/></a:solidFill><a:latin typeface=\">\"/>"
      "</a:defRPr><a:buFont/><a:buChar char=\"1\"/></a:lvl1pPr>"
      "<a:extLst><a:lvl3pPr><a:buChar char=\"e\"/></a:lvl3pPr></a:extLst>"
      "<a:lvl2pPr><a:buAutoNum type=\"arabicPeriod\" startAt=\"3\"><a:buNone/></a:buAutoNum></a:lvl2pPr>"
      "<a:lvl4pPr><a:buClr><a:schemeClr val=\"tx1\"/></a:buClr><a:buNone/></a:lvl4pPr>";
  const auto check = [](const ListStyle& list) {
    EXPECT_EQ(list.levels[0].character, "1");
    EXPECT_EQ(list.levels[1].kind, BulletSpec::Kind::kNumber);
    EXPECT_EQ(list.levels[1].startAt, 3);
    EXPECT_FALSE(list.levels[2].IsSet());
    EXPECT_EQ(list.levels[3].kind, BulletSpec::Kind::kNone);
  };
  const TemplatePart master = ReadTemplatePart("<p:sldMaster><p:txStyles><p:bodyStyle>" + style +
                                               "</p:bodyStyle>" + LevelOne("titleStyle", "t") +
                                               "</p:txStyles></p:sldMaster>");
  check(master.bodyStyle);
  EXPECT_EQ(master.titleStyle.levels[0].character, "t");
  const TemplatePart layout = ReadTemplatePart(
      Layout(Shape("<p:nvPr><p:ph/></p:nvPr>", "<p:txBody><a:lstStyle>" + style + "</a:lstStyle></p:txBody>")));
  ASSERT_EQ(layout.placeholders.size(), 1u);
  check(layout.placeholders[0].list);
  check(ReadDefaultTextStyle("<p:presentation><p:defaultTextStyle>" + style +
                             "</p:defaultTextStyle><p:extLst/></p:presentation>"));
}

TEST(TemplatePartTest, DamagedPartsGiveWhatCameBeforeTheDamage) {
  // Geometry cut short: the placeholder before it counts, the open one never closes.
  const std::string whole = Layout(Shape("<p:nvPr><p:ph type=\"body\"/></p:nvPr>", Body(LevelOne("lstStyle", "*"))) +
                                   Shape("<p:nvPr><p:ph type=\"title\"/></p:nvPr>", kGeometry));
  const std::string cut = whole.substr(0, whole.find("<a:close/>"));
  const TemplatePart part = ReadTemplatePart(cut);
  ASSERT_EQ(part.placeholders.size(), 1u);
  EXPECT_EQ(part.placeholders[0].type, "body");
  // Nesting past the walker's bound inside geometry is refused as it is anywhere else.
  std::string deep = "<p:sldLayout><p:cSld><p:spTree><p:sp><p:spPr>";
  for (size_t i = 0; i < MarkupWalker::kMaxDepth; ++i) deep += "<a:g>";
  for (size_t i = 0; i < MarkupWalker::kMaxDepth; ++i) deep += "</a:g>";
  deep += "</p:spPr></p:sp></p:spTree></p:cSld></p:sldLayout>";
  EXPECT_THROW(ReadTemplatePart(deep), MarkupTooDeepError);
}

}  // namespace
}  // namespace dkscr
