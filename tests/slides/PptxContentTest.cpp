// The content a reader sees in a .pptx built here, field by field: blocks in shape-tree order
// with placeholders, levels, bullets and numbers, links of runs, shapes and jumps to slides,
// pictures with and without alt text, a table with spans, a bar and a line chart, a SmartArt of
// three levels, a movie and an embedded workbook, sections and the document's properties.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/Conversions.h"
#include "tests/support/JsonSchema.h"
#include "tests/support/PptxBuilder.h"
#include "tests/support/ZipWriter.h"

namespace dkscr {
namespace {

using test::kNs;
using test::Para;

std::string Relationship(std::string_view id, std::string_view type, std::string_view target, bool external = false) {
  return "<Relationship Id=\"" + std::string(id) + "\" Type=\"" + std::string(test::kRel) + std::string(type) +
         "\" Target=\"" + std::string(target) + "\"" + (external ? " TargetMode=\"External\"" : "") + "/>";
}
std::string RelsOf(const std::string& relationships) {
  return "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
         relationships + "</Relationships>";
}

std::string NvSp(int id, std::string_view name, std::string_view placeholder = "", std::string_view inside = "") {
  std::string nv = "<p:nvSpPr><p:cNvPr id=\"" + std::to_string(id) + "\" name=\"" + std::string(name) + "\">" +
                   std::string(inside) + "</p:cNvPr><p:cNvSpPr/><p:nvPr>";
  if (!placeholder.empty()) nv += "<p:ph " + std::string(placeholder) + "/>";
  return nv + "</p:nvPr></p:nvSpPr>";
}

std::string Bulleted(std::string_view text, int level, std::string_view bullet) {
  return "<a:p><a:pPr lvl=\"" + std::to_string(level) + "\">" + std::string(bullet) + "</a:pPr><a:r><a:t>" +
         std::string(text) + "</a:t></a:r></a:p>";
}

std::string Slide1() {
  const std::string num = "<a:buAutoNum type=\"arabicPeriod\"/>";
  const std::string body =
      "<a:p><a:pPr><a:buChar char=\"&#8226;\"/></a:pPr><a:r><a:t>See the </a:t></a:r>"
      "<a:r><a:rPr><a:hlinkClick r:id=\"rId3\"/></a:rPr><a:t>site</a:t></a:r></a:p>" +
      Bulleted("Nested", 1, "<a:buChar char=\"&#8211;\"/>") + Bulleted("One", 0, num) + Bulleted("Two", 0, num) +
      Bulleted("Sub", 1, "<a:buAutoNum type=\"alphaLcParenR\"/>") + Bulleted("Three", 0, num) +
      Bulleted("Plain", 0, "<a:buNone/>") +
      "<a:p><a:r><a:rPr><a:hlinkClick r:id=\"rId4\" action=\"ppaction://hlinksldjump\"/></a:rPr><a:t>Go on</a:t></a:r></a:p>";
  const std::string picture =
      "<p:pic><p:nvPicPr><p:cNvPr id=\"4\" name=\"Logo\" descr=\"Company logo\" title=\"Our mark\">"
      "<a:hlinkClick r:id=\"rId5\"/></p:cNvPr><p:cNvPicPr/><p:nvPr/></p:nvPicPr>"
      "<p:blipFill><a:blip r:embed=\"rId6\"/></p:blipFill><p:spPr/></p:pic>"
      "<p:pic><p:nvPicPr><p:cNvPr id=\"5\" name=\"Bare\"/><p:cNvPicPr/><p:nvPr/></p:nvPicPr>"
      "<p:blipFill><a:blip r:embed=\"rId6\"/></p:blipFill><p:spPr/></p:pic>";
  return test::SlideXml("<p:sp>" + NvSp(2, "Title 1", "type=\"title\"", "<a:hlinkClick r:id=\"rId7\"/>") + "<p:txBody><a:bodyPr/>" + Para("Welcome") +
                        "</p:txBody></p:sp><p:sp>" + NvSp(3, "Body", "idx=\"1\"") + "<p:txBody><a:bodyPr/>" + body +
                        "</p:txBody></p:sp>" + picture + "<p:sp>" + NvSp(6, "Footer", "type=\"ftr\"") +
                        "<p:txBody><a:bodyPr/>" + Para("Confidential") + "</p:txBody></p:sp>");
}

std::string Frame(int id, std::string_view name, std::string_view graphicData) {
  return "<p:graphicFrame><p:nvGraphicFramePr><p:cNvPr id=\"" + std::to_string(id) + "\" name=\"" + std::string(name) +
         "\"/><p:cNvGraphicFramePr/><p:nvPr/></p:nvGraphicFramePr><p:xfrm/><a:graphic><a:graphicData>" +
         std::string(graphicData) + "</a:graphicData></a:graphic></p:graphicFrame>";
}

std::string Cell(std::string_view text, std::string_view attributes = "") {
  return "<a:tc" + std::string(attributes) + "><a:txBody><a:bodyPr/>" + (text.empty() ? "<a:p/>" : Para(text)) +
         "</a:txBody></a:tc>";
}

std::string Slide2() {
  const std::string table = "<a:tbl><a:tblGrid/><a:tr>" + Cell("Tall", " rowSpan=\"2\"") + Cell("Wide", " gridSpan=\"2\"") +
                            Cell("", " hMerge=\"1\"") + "</a:tr><a:tr>" + Cell("", " vMerge=\"1\"") + Cell("x") +
                            Cell("y") + "</a:tr></a:tbl>";
  const std::string c = " xmlns:c=\"http://schemas.openxmlformats.org/drawingml/2006/chart\"";
  return test::SlideXml(Frame(6, "Table 1", table) + Frame(7, "Sales chart", "<c:chart" + c + " r:id=\"rId2\"/>") +
                        Frame(8, "Trend chart", "<c:chart" + c + " r:id=\"rId3\"/>"));
}

std::string Slide3() {
  const std::string dgm = " xmlns:dgm=\"http://schemas.openxmlformats.org/drawingml/2006/diagram\"";
  const std::string movie =
      "<p:pic><p:nvPicPr><p:cNvPr id=\"10\" name=\"Clip\"/><p:cNvPicPr/><p:nvPr><a:videoFile r:link=\"rId3\"/>"
      "</p:nvPr></p:nvPicPr><p:blipFill><a:blip r:embed=\"rId4\"/></p:blipFill><p:spPr/></p:pic>";
  const std::string ole =
      "<p:oleObj name=\"Worksheet\" progId=\"Excel.Sheet.12\" r:id=\"rId5\"><p:embed/><p:pic><p:nvPicPr>"
      "<p:cNvPr id=\"0\" name=\"\"/><p:cNvPicPr/><p:nvPr/></p:nvPicPr><p:blipFill><a:blip r:embed=\"rId4\"/>"
      "</p:blipFill><p:spPr/></p:pic></p:oleObj>";
  return test::SlideXml(Frame(9, "Diagram 1", "<dgm:relIds" + dgm + " r:dm=\"rId2\" r:lo=\"rId9\"/>") + movie +
                        Frame(11, "Object 1", ole));
}

std::string Series(std::string_view name, const std::vector<std::string>& categories, std::string_view values) {
  std::string xml = "<c:ser><c:idx val=\"0\"/><c:tx><c:strRef><c:strCache><c:pt idx=\"0\"><c:v>" + std::string(name) +
                    "</c:v></c:pt></c:strCache></c:strRef></c:tx><c:cat><c:strRef><c:strCache><c:ptCount val=\"" +
                    std::to_string(categories.size()) + "\"/>";
  for (size_t i = 0; i < categories.size(); ++i) {
    xml += "<c:pt idx=\"" + std::to_string(i) + "\"><c:v>" + categories[i] + "</c:v></c:pt>";
  }
  return xml + "</c:strCache></c:strRef></c:cat><c:val><c:numRef><c:numCache>" + std::string(values) +
         "</c:numCache></c:numRef></c:val></c:ser>";
}

std::string Chart(std::string_view title, std::string_view plot) {
  return "<?xml version=\"1.0\"?><c:chartSpace xmlns:c=\"http://schemas.openxmlformats.org/drawingml/2006/chart\""
         " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\"><c:chart>" +
         (title.empty() ? std::string() : "<c:title><c:tx><c:rich><a:bodyPr/>" + Para(title) + "</c:rich></c:tx></c:title>") +
         "<c:plotArea>" + std::string(plot) + "</c:plotArea></c:chart></c:chartSpace>";
}

// Document point 0; A (with A1 below it and A1a below that) and B.
std::string Diagram() {
  auto point = [](std::string_view id, std::string_view text) {
    return "<dgm:pt modelId=\"" + std::string(id) + "\"><dgm:t><a:bodyPr/>" + Para(text) + "</dgm:t></dgm:pt>";
  };
  auto link = [](std::string_view from, std::string_view to, int order) {
    return "<dgm:cxn modelId=\"c" + std::string(to) + "\" srcId=\"" + std::string(from) + "\" destId=\"" +
           std::string(to) + "\" srcOrd=\"" + std::to_string(order) + "\"/>";
  };
  return "<?xml version=\"1.0\"?><dgm:dataModel xmlns:dgm=\"http://schemas.openxmlformats.org/drawingml/2006/diagram\""
         " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\"><dgm:ptLst>"
         "<dgm:pt modelId=\"0\" type=\"doc\"/>" +
         point("3", "B") + point("1", "A") + point("2", "A1") + point("4", "A1a") + "</dgm:ptLst><dgm:cxnLst>" +
         link("0", "3", 1) + link("0", "1", 0) + link("1", "2", 0) + link("2", "4", 0) + "</dgm:cxnLst></dgm:dataModel>";
}

std::string MakeContentDeck() {
  const std::string p14 = " xmlns:p14=\"http://schemas.microsoft.com/office/powerpoint/2010/main\"";
  const std::string presentation =
      "<?xml version=\"1.0\"?><p:presentation" + std::string(kNs) + "><p:sldIdLst>"
      "<p:sldId id=\"300\" r:id=\"rId1\"/><p:sldId id=\"301\" r:id=\"rId2\"/><p:sldId id=\"302\" r:id=\"rId3\"/>"
      "</p:sldIdLst><p:extLst><p:ext uri=\"{521415D9-36F7-43E2-AB2F-B90AF26B5E84}\"><p14:sectionLst" + p14 + ">"
      "<p14:section name=\"Intro\" id=\"{A}\"><p14:sldIdLst><p14:sldId id=\"300\"/></p14:sldIdLst></p14:section>"
      "<p14:section name=\"Data &amp; more\" id=\"{B}\"><p14:sldIdLst><p14:sldId id=\"301\"/><p14:sldId id=\"302\"/>"
      "</p14:sldIdLst></p14:section><p14:section name=\"Empty\" id=\"{C}\"><p14:sldIdLst/></p14:section>"
      "</p14:sectionLst></p:ext></p:extLst></p:presentation>";
  const std::string core =
      "<?xml version=\"1.0\"?><cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\""
      " xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:dcterms=\"http://purl.org/dc/terms/\""
      " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"><dc:title>\xC3\x9C" "berblick \xE2\x80\x93 Q3</dc:title>"
      "<dc:subject>Zahlen</dc:subject><dc:creator>Zo\xC3\xAB</dc:creator><cp:keywords>a, b</cp:keywords>"
      "<dc:description>Quarter &amp; year</dc:description><cp:lastModifiedBy>Bj\xC3\xB6rn</cp:lastModifiedBy>"
      "<cp:revision>7</cp:revision><dcterms:created xsi:type=\"dcterms:W3CDTF\">2024-05-01T11:30:00+02:00</dcterms:created>"
      "<dcterms:modified xsi:type=\"dcterms:W3CDTF\">2024-06-02T08:00:05Z</dcterms:modified>"
      "<cp:category>Reports</cp:category></cp:coreProperties>";
  const std::string app =
      "<?xml version=\"1.0\"?><Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\">"
      "<Application>Microsoft Office PowerPoint</Application><Slides>3</Slides><Company>\xC3\x84rzte GmbH</Company></Properties>";
  const std::string vt = " xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\"";
  auto property = [](std::string_view name, std::string_view value) {
    return "<property fmtid=\"{D5CDD505-2E9C-101B-9397-08002B2CF9AE}\" pid=\"2\" name=\"" + std::string(name) + "\">" +
           std::string(value) + "</property>";
  };
  const std::string custom =
      "<?xml version=\"1.0\"?><Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/custom-properties\"" +
      vt + ">" + property("Projekt \xCE\xA9", "<vt:lpwstr>Gr\xC3\xBCn</vt:lpwstr>") + property("Budget", "<vt:i4>42</vt:i4>") +
      property("Ratio", "<vt:r8>0.25</vt:r8>") + property("Final", "<vt:bool>true</vt:bool>") +
      property("Due", "<vt:filetime>2024-07-01T00:00:00Z</vt:filetime>") + "</Properties>";

  test::ZipWriter zip;
  zip.Add("_rels/.rels", RelsOf(Relationship("rId1", "officeDocument", "ppt/presentation.xml") +
                                "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/package/2006/"
                                "relationships/metadata/core-properties\" Target=\"docProps/core.xml\"/>" +
                                Relationship("rId3", "extended-properties", "docProps/app.xml") +
                                Relationship("rId4", "custom-properties", "docProps/custom.xml")));
  zip.Add("docProps/core.xml", core);
  zip.Add("docProps/app.xml", app);
  zip.Add("docProps/custom.xml", custom);
  zip.Add("ppt/presentation.xml", presentation);
  zip.Add("ppt/_rels/presentation.xml.rels",
          RelsOf(Relationship("rId1", "slide", "slides/slide1.xml") + Relationship("rId2", "slide", "slides/slide2.xml") +
                 Relationship("rId3", "slide", "slides/slide3.xml")));
  zip.Add("ppt/slides/slide1.xml", Slide1());
  zip.Add("ppt/slides/_rels/slide1.xml.rels",
          RelsOf(Relationship("rId1", "slideLayout", "../slideLayouts/slideLayout2.xml") +
                 Relationship("rId3", "hyperlink", "https://example.com/a?b=1&amp;c=2", true) +
                 Relationship("rId4", "slide", "slide3.xml") +
                 Relationship("rId5", "hyperlink", "https://example.org/logo", true) +
                 Relationship("rId6", "image", "../media/image1.png") +
                 Relationship("rId7", "hyperlink", "#_ftn1")));
  zip.Add("ppt/slideLayouts/slideLayout2.xml", "<?xml version=\"1.0\"?><p:sldLayout" + std::string(kNs) +
                                                   "><p:cSld name=\"Title and Content\"><p:spTree/></p:cSld></p:sldLayout>");
  zip.Add("ppt/slides/slide2.xml", Slide2());
  zip.Add("ppt/slides/_rels/slide2.xml.rels",
          RelsOf(Relationship("rId2", "chart", "../charts/chart1.xml") + Relationship("rId3", "chart", "../charts/chart2.xml")));
  zip.Add("ppt/charts/chart1.xml",
          Chart("Sales", "<c:barChart><c:barDir val=\"col\"/>" +
                             Series("2024", {"North", "South"},
                                    "<c:ptCount val=\"2\"/><c:pt idx=\"0\"><c:v>3</c:v></c:pt><c:pt idx=\"1\"><c:v>4.5</c:v></c:pt>") +
                             "</c:barChart>"));
  zip.Add("ppt/charts/chart2.xml",
          Chart("", "<c:lineChart>" +
                        Series("Trend", {"Q1", "Q2", "Q3", "Q4"},
                               "<c:ptCount val=\"4\"/><c:pt idx=\"0\"><c:v>1</c:v></c:pt><c:pt idx=\"2\"><c:v>-2e3</c:v></c:pt>"
                               "<c:pt idx=\"3\"><c:v>#N/A</c:v></c:pt>") +
                        "</c:lineChart>"));
  zip.Add("ppt/slides/slide3.xml", Slide3());
  zip.Add("ppt/slides/_rels/slide3.xml.rels",
          RelsOf(Relationship("rId2", "diagramData", "../diagrams/data1.xml") +
                 Relationship("rId3", "video", "../media/media1.mp4") + Relationship("rId4", "image", "../media/image2.emf") +
                 Relationship("rId5", "package", "../embeddings/Microsoft_Excel_Worksheet.xlsx")));
  zip.Add("ppt/diagrams/data1.xml", Diagram());
  return zip.Build();
}

class PptxContentTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    deck_ = new SlideDeck;
    ASSERT_EQ(test::ReadDeckOfBytes(PresentationKind::kPptx, MakeContentDeck(), *deck_), 0);
    ASSERT_EQ(deck_->slides.size(), 3u);
  }
  static void TearDownTestSuite() {
    delete deck_;
    deck_ = nullptr;
  }
  static const Slide& SlideAt(size_t i) { return deck_->slides.at(i); }
  static SlideDeck* deck_;
};
SlideDeck* PptxContentTest::deck_ = nullptr;

TEST_F(PptxContentTest, TextBlocksHavePlaceholdersLevelsBulletsAndLinks) {
  const Slide& slide = SlideAt(0);
  EXPECT_EQ(slide.id, 300u);
  EXPECT_EQ(slide.layout, "Title and Content");
  ASSERT_EQ(slide.blocks.size(), 4u) << "the footer is no block";
  EXPECT_EQ(slide.footers, std::vector<std::string>{"Confidential"});

  const SlideBlock& title = slide.blocks[0];
  EXPECT_EQ(title.type, BlockType::kText);
  EXPECT_EQ(title.shapeId, 2u);
  EXPECT_EQ(title.name, "Title 1");
  EXPECT_EQ(title.placeholder, "title");
  ASSERT_EQ(title.paragraphs.size(), 1u);
  EXPECT_EQ(title.paragraphs[0].text, "Welcome");

  const SlideBlock& body = slide.blocks[1];
  EXPECT_EQ(body.placeholder, "obj") << "a placeholder without a type is a content placeholder";
  struct Expected {
    std::string text;
    int level;
    std::optional<std::string> bullet;
  };
  const std::vector<Expected> expected = {
      {"See the site", 0, "\xE2\x80\xA2"}, {"Nested", 1, "\xE2\x80\x93"}, {"One", 0, "1."}, {"Two", 0, "2."},
      {"Sub", 1, "a)"}, {"Three", 0, "3."}, {"Plain", 0, std::nullopt}, {"Go on", 0, std::nullopt}};
  ASSERT_EQ(body.paragraphs.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(body.paragraphs[i].text, expected[i].text);
    EXPECT_EQ(body.paragraphs[i].level, expected[i].level) << expected[i].text;
    EXPECT_EQ(body.paragraphs[i].bullet, expected[i].bullet) << expected[i].text;
  }
  ASSERT_EQ(body.paragraphs[0].links.size(), 1u);
  EXPECT_EQ(body.paragraphs[0].links[0].text, "site");
  EXPECT_EQ(body.paragraphs[0].links[0].target, "https://example.com/a?b=1&c=2");
  ASSERT_EQ(body.paragraphs[7].links.size(), 1u);
  EXPECT_EQ(body.paragraphs[7].links[0].target, "#slide=3");
  EXPECT_TRUE(body.paragraphs[1].links.empty());
  // Every target once, those of shapes too, in the order the slide gives them.
  // A fragment of this document as it is written, not taken for a part.
  EXPECT_EQ(slide.links, (std::vector<std::string>{"#_ftn1", "https://example.com/a?b=1&c=2", "#slide=3",
                                                   "https://example.org/logo"}));
}

TEST_F(PptxContentTest, PicturesGiveAltTextAndTheirImage) {
  const Slide& slide = SlideAt(0);
  ASSERT_EQ(slide.blocks.size(), 4u);
  const SlideBlock& logo = slide.blocks[2];
  EXPECT_EQ(logo.type, BlockType::kPicture);
  EXPECT_EQ(logo.shapeId, 4u);
  EXPECT_EQ(logo.alt, "Company logo");
  EXPECT_EQ(logo.title, "Our mark");
  EXPECT_EQ(logo.image, "ppt/media/image1.png");
  const SlideBlock& bare = slide.blocks[3];
  EXPECT_EQ(bare.type, BlockType::kPicture);
  EXPECT_EQ(bare.name, "Bare");
  EXPECT_FALSE(bare.alt.has_value());
  EXPECT_FALSE(bare.title.has_value());
}

TEST_F(PptxContentTest, TablesKeepSpansAndChartsTheirCachedSeries) {
  const Slide& slide = SlideAt(1);
  ASSERT_EQ(slide.blocks.size(), 3u);
  const SlideBlock& table = slide.blocks[0];
  EXPECT_EQ(table.type, BlockType::kTable);
  EXPECT_EQ(table.shapeId, 6u);
  ASSERT_EQ(table.rows.size(), 2u);
  ASSERT_EQ(table.rows[0].size(), 2u) << "the merged-over position is no cell";
  EXPECT_EQ(table.rows[0][0].text, "Tall");
  EXPECT_EQ(table.rows[0][0].rowSpan, 2);
  EXPECT_EQ(table.rows[0][0].colSpan, 1);
  EXPECT_EQ(table.rows[0][1].text, "Wide");
  EXPECT_EQ(table.rows[0][1].colSpan, 2);
  ASSERT_EQ(table.rows[1].size(), 2u);
  EXPECT_EQ(table.rows[1][0].text, "x");
  EXPECT_EQ(table.rows[1][1].text, "y");
  // Today's members are as before: the table as a grid, every cell's text in paragraphs.
  ASSERT_EQ(slide.tables.size(), 1u);
  EXPECT_EQ(slide.tables[0].rows[0], (std::vector<std::string>{"Tall", "Wide", ""}));

  const SlideBlock& bar = slide.blocks[1];
  EXPECT_EQ(bar.type, BlockType::kChart);
  EXPECT_EQ(bar.name, "Sales chart");
  EXPECT_EQ(bar.chartType, "bar");
  EXPECT_EQ(bar.title, "Sales");
  ASSERT_EQ(bar.series.size(), 1u);
  EXPECT_EQ(bar.series[0].name, "2024");
  EXPECT_EQ(bar.series[0].categories, (std::vector<std::string>{"North", "South"}));
  EXPECT_EQ(bar.series[0].values, (std::vector<std::optional<double>>{3.0, 4.5}));

  const SlideBlock& line = slide.blocks[2];
  EXPECT_EQ(line.chartType, "line");
  EXPECT_FALSE(line.title.has_value());
  ASSERT_EQ(line.series.size(), 1u);
  EXPECT_EQ(line.series[0].categories, (std::vector<std::string>{"Q1", "Q2", "Q3", "Q4"}));
  EXPECT_EQ(line.series[0].values, (std::vector<std::optional<double>>{1.0, std::nullopt, -2000.0, std::nullopt}));
}

TEST_F(PptxContentTest, SmartArtMediaAndEmbeddedObjects) {
  const Slide& slide = SlideAt(2);
  ASSERT_EQ(slide.blocks.size(), 3u);
  const SlideBlock& diagram = slide.blocks[0];
  EXPECT_EQ(diagram.type, BlockType::kDiagram);
  EXPECT_EQ(diagram.shapeId, 9u);
  ASSERT_EQ(diagram.items.size(), 4u);
  const std::vector<std::pair<std::string, int>> items = {{"A", 0}, {"A1", 1}, {"A1a", 2}, {"B", 0}};
  for (size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(diagram.items[i].text, items[i].first);
    EXPECT_EQ(diagram.items[i].level, items[i].second) << items[i].first;
  }
  const SlideBlock& movie = slide.blocks[1];
  EXPECT_EQ(movie.type, BlockType::kMedia);
  EXPECT_EQ(movie.name, "Clip");
  EXPECT_EQ(movie.mediaType, "video");
  EXPECT_EQ(movie.target, "ppt/media/media1.mp4");
  const SlideBlock& ole = slide.blocks[2];
  EXPECT_EQ(ole.type, BlockType::kOle);
  EXPECT_EQ(ole.shapeId, 11u);
  EXPECT_EQ(ole.progId, "Excel.Sheet.12");
  EXPECT_EQ(ole.target, "ppt/embeddings/Microsoft_Excel_Worksheet.xlsx");
}

TEST_F(PptxContentTest, SectionsAndSlideIds) {
  ASSERT_EQ(deck_->sections.size(), 3u);
  EXPECT_EQ(deck_->sections[0].name, "Intro");
  EXPECT_EQ(deck_->sections[0].slides, std::vector<int>{1});
  EXPECT_EQ(deck_->sections[1].name, "Data & more");
  EXPECT_EQ(deck_->sections[1].slides, (std::vector<int>{2, 3}));
  EXPECT_TRUE(deck_->sections[2].slides.empty());
  EXPECT_EQ(SlideAt(0).section, "Intro");
  EXPECT_EQ(SlideAt(2).section, "Data & more");
  EXPECT_EQ(SlideAt(2).id, 302u);
}

TEST_F(PptxContentTest, MetadataFromCoreAppAndCustomParts) {
  const DocumentMetadata& m = deck_->metadata;
  EXPECT_EQ(m.title, "\xC3\x9C" "berblick \xE2\x80\x93 Q3");
  EXPECT_EQ(m.subject, "Zahlen");
  EXPECT_EQ(m.author, "Zo\xC3\xAB");
  EXPECT_EQ(m.keywords, "a, b");
  EXPECT_EQ(m.description, "Quarter & year");
  EXPECT_EQ(m.lastModifiedBy, "Bj\xC3\xB6rn");
  EXPECT_EQ(m.revision, "7");
  EXPECT_EQ(m.created, "2024-05-01T09:30:00Z") << "converted to UTC";
  EXPECT_EQ(m.modified, "2024-06-02T08:00:05Z");
  EXPECT_EQ(m.category, "Reports");
  EXPECT_EQ(m.company, "\xC3\x84rzte GmbH");
  EXPECT_EQ(m.application, "Microsoft Office PowerPoint");
  ASSERT_EQ(m.custom.size(), 5u);
  EXPECT_EQ(m.custom[0].first, "Projekt \xCE\xA9");
  EXPECT_EQ(m.custom[0].second.text, "Gr\xC3\xBCn");
  EXPECT_EQ(m.custom[1].second.kind, PropertyValue::Kind::kNumber);
  EXPECT_EQ(m.custom[1].second.number, 42);
  EXPECT_EQ(m.custom[2].second.number, 0.25);
  EXPECT_EQ(m.custom[3].second.kind, PropertyValue::Kind::kBool);
  EXPECT_TRUE(m.custom[3].second.flag);
  EXPECT_EQ(m.custom[4].second.kind, PropertyValue::Kind::kDate);
  EXPECT_EQ(m.custom[4].second.text, "2024-07-01T00:00:00Z");
}

TEST_F(PptxContentTest, JsonCarriesEveryField) {
  OutputBuffer out;
  const ResultCode code = test::ConvertPptxBytes(MakeContentDeck(), out, 65001, SlideMode::kJson);
  ASSERT_GT(code, 0);
  const std::string json(reinterpret_cast<const char*>(out.Data()), static_cast<size_t>(code));
  const auto value = test::JsonParser::Parse(json);
  ASSERT_TRUE(value.has_value()) << json;
  EXPECT_EQ(test::SlidesSchemaProblem(json), "");
  EXPECT_EQ((*value)["schema"].text, "deckscribe/slides-2");
  EXPECT_EQ((*value)["metadata"]["custom"]["Budget"].number, 42);
  EXPECT_TRUE((*value)["metadata"]["custom"]["Final"].boolean);
  EXPECT_EQ((*value)["sections"][1]["name"].text, "Data & more");
  const auto& first = (*value)["slides"][0];
  EXPECT_EQ(first["id"].number, 300);
  EXPECT_EQ(first["blocks"][1]["paragraphs"][2]["bullet"].text, "1.");
  EXPECT_EQ(first["blocks"][1]["paragraphs"][0]["links"][0]["target"].text, "https://example.com/a?b=1&c=2");
  EXPECT_EQ(first["blocks"][2]["alt"].text, "Company logo");
  EXPECT_EQ(first["blocks"][3]["alt"].kind, test::JsonValue::Kind::kNull);
  const auto& line = (*value)["slides"][1]["blocks"][2];
  EXPECT_EQ(line["chart_type"].text, "line");
  EXPECT_EQ(line["series"][0]["values"][1].kind, test::JsonValue::Kind::kNull);
  EXPECT_EQ(line["series"][0]["values"][2].number, -2000);
  EXPECT_EQ((*value)["slides"][1]["blocks"][0]["rows"][0][1]["col_span"].number, 2);
  EXPECT_EQ((*value)["slides"][2]["blocks"][2]["prog_id"].text, "Excel.Sheet.12");
}

}  // namespace
}  // namespace dkscr

namespace dkscr {
namespace {

TEST_F(PptxContentTest, MarkdownShowsListsLinksPicturesTablesChartsAndSmartArt) {
  OutputBuffer out;
  const ResultCode code = test::ConvertPptxBytes(MakeContentDeck(), out, 65001, SlideMode::kMarkdown);
  ASSERT_GT(code, 0);
  const std::string md(reinterpret_cast<const char*>(out.Data()), static_cast<size_t>(code));
  const std::string expected =
      "# \xC3\x9C" "berblick \xE2\x80\x93 Q3\n\n"
      "# Intro\n\n"
      "## 1. Welcome\n\n"
      "- See the [site](https://example.com/a?b=1&c=2)\n"
      "  - Nested\n"
      "1. One\n"
      "2. Two\n"
      "   - a) Sub\n"
      "3. Three\n\n"
      "Plain\n\n"
      "[Go on](#slide=3)\n\n"
      "![Company logo](ppt/media/image1.png)\n\n"
      "Confidential\n\n"
      "# Data \\& more\n\n"
      "## 2.\n\n"
      "| Tall | Wide |  |\n| --- | --- | --- |\n|  | x | y |\n\n"
      "Sales\n\n"
      "|  | 2024 |\n| --- | --- |\n| North | 3 |\n| South | 4.5 |\n\n"
      "|  | Trend |\n| --- | --- |\n| Q1 | 1 |\n| Q2 |  |\n| Q3 | -2000 |\n| Q4 |  |\n\n"
      "## 3.\n\n"
      "- A\n  - A1\n    - A1a\n- B\n\n";
  EXPECT_EQ(md, expected);
}

}  // namespace
}  // namespace dkscr

namespace dkscr {
namespace {

TEST_F(PptxContentTest, CompleteTextAddsBulletsPicturesAndChartRows) {
  OutputBuffer out;
  const ResultCode code = test::ConvertPptxBytes(MakeContentDeck(), out, 65001, SlideMode::kFull);
  ASSERT_GT(code, 0);
  const std::string full(reinterpret_cast<const char*>(out.Data()), static_cast<size_t>(code));
  const std::string expected =
      "\xEF\xBB\xBFSlide 1\r\nWelcome\r\n- See the site\r\n  - Nested\r\n1. One\r\n2. Two\r\n  a) Sub\r\n3. Three\r\n"
      "Plain\r\nGo on\r\nConfidential\r\n[Picture: Company logo]\r\n\r\n"
      "Slide 2\r\nTall\tWide\t\r\n\tx\ty\r\nSales\r\n2024\r\nNorth\r\nSouth\r\nTrend\r\nQ1\r\nQ2\r\nQ3\r\nQ4\r\n"
      "\tNorth\tSouth\r\n2024\t3\t4.5\r\n\tQ1\tQ2\tQ3\tQ4\r\nTrend\t1\t\t-2000\t\r\n\r\n"
      "Slide 3\r\nB\r\nA\r\nA1\r\nA1a\r\n";  // SmartArt texts in the part's order, as before
  EXPECT_EQ(full, expected);
}

}  // namespace
}  // namespace dkscr

namespace dkscr {
namespace {

// The document's properties alone: the JSON form's member byte for byte.
TEST(PptxMetadataAlone, IsTheJsonFormsMember) {
  const std::string image = MakeContentDeck();
  OutputBuffer out;
  const ResultCode whole = test::ConvertPptxBytes(image, out, 65001, SlideMode::kJson);
  ASSERT_GT(whole, 0);
  const std::string json(reinterpret_cast<const char*>(out.Data()), static_cast<size_t>(whole));

  ConvertRequest request = test::RequestFor(PresentationKind::kPptx, 42, SlideMode::kFull);  // neither counts
  request.metadataOnly = true;
  auto metadataOf = [&](std::string_view bytes, ResultCode& code) {
    const std::unique_ptr<ByteSource> source = ByteSource::OfMemory(bytes);
    OutputBuffer metadata;
    code = Convert(*source, request, metadata);
    return code > 0 ? std::string(reinterpret_cast<const char*>(metadata.Data()), static_cast<size_t>(code)) : "";
  };
  ResultCode code = 0;
  const std::string metadata = metadataOf(image, code);
  EXPECT_EQ(metadata,
            "{\"title\":\"\xC3\x9C" "berblick \xE2\x80\x93 Q3\",\"subject\":\"Zahlen\",\"author\":\"Zo\xC3\xAB\","
            "\"keywords\":\"a, b\",\"description\":\"Quarter & year\",\"last_modified_by\":\"Bj\xC3\xB6rn\","
            "\"revision\":\"7\",\"created\":\"2024-05-01T09:30:00Z\",\"modified\":\"2024-06-02T08:00:05Z\","
            "\"category\":\"Reports\",\"company\":\"\xC3\x84rzte GmbH\",\"application\":\"Microsoft Office PowerPoint\","
            "\"custom\":{\"Projekt \xCE\xA9\":\"Gr\xC3\xBCn\",\"Budget\":42,\"Ratio\":0.25,\"Final\":true,"
            "\"Due\":\"2024-07-01T00:00:00Z\"}}\n");
  EXPECT_NE(json.find("\"metadata\":" + metadata.substr(0, metadata.size() - 1) + ",\"sections\":"), std::string::npos);
  EXPECT_EQ(test::SlidesSchemaProblem("{\"schema\":\"deckscribe/slides-2\",\"metadata\":" + metadata +
                                      ",\"sections\":[],\"slides\":[],\"orphans\":[]}"),
            "");
}

}  // namespace
}  // namespace dkscr
