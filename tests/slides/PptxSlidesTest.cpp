// The slide model of .pptx packages built here: show order, exact run text, titles, tables,
// groups, notes, SmartArt, charts and comments, and every output form of one deck.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <optional>
#include <vector>

#include "tests/support/CfbWriter.h"
#include "tests/support/Conversions.h"
#include "tests/support/JsonValue.h"
#include "tests/support/PptxBuilder.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/ZipWriter.h"
#include "text/Encode.h"

namespace dkscr {
namespace {

using test::JsonParser;

using test::Para;
using test::Rels;
using test::Shape;
using test::SlideXml;
using test::kNs;

// Three slides listed as slide2, slide1, slide3; slide2 carries everything a slide can.
std::string MakeDeck() {
  const std::string cell = "<a:tc><a:txBody><a:bodyPr/>";
  const std::string table =
      "<p:graphicFrame><a:graphic><a:graphicData><a:tbl><a:tblGrid/>"
      "<a:tr>" + cell + Para("Head A") + "</a:txBody></a:tc><a:tc gridSpan=\"2\"><a:txBody>" + Para("Wide") +
      "</a:txBody></a:tc><a:tc hMerge=\"1\"><a:txBody><a:p/></a:txBody></a:tc></a:tr>"
      "<a:tr>" + cell + Para("x") + Para("y") + "</a:txBody></a:tc>" + cell + "<a:p/></a:txBody></a:tc>" + cell +
      Para("z") + "</a:txBody></a:tc></a:tr></a:tbl></a:graphicData></a:graphic></p:graphicFrame>";
  const std::string body =
      "<a:p><a:r><a:t>Bold</a:t></a:r><a:r><a:t> italic </a:t></a:r><a:fld id=\"{1}\" type=\"slidenum\"><a:t>7</a:t></a:fld>"
      "<a:br/><a:r><a:t>after break</a:t></a:r></a:p><a:p><a:r><a:t></a:t></a:r></a:p>";
  const std::string alternate =
      "<mc:AlternateContent xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\">"
      "<mc:Choice Requires=\"a14\">" + Shape("", Para("Chosen")) + "</mc:Choice>"
      "<mc:Fallback>" + Shape("", Para("Chosen")) + "</mc:Fallback></mc:AlternateContent>";
  const std::string groups = "<p:grpSp><p:grpSpPr/><p:grpSp><p:grpSpPr/>" + Shape("", Para("Deep &amp; &#8364;5")) +
                             "</p:grpSp></p:grpSp>";
  const std::string slide2 = SlideXml(Shape("ctrTitle", Para("Show") + Para("tell")) + Shape("body", body) +
                                          table + alternate + groups,
                                      " show=\"0\"");
  const std::string notes =
      "<?xml version=\"1.0\"?><p:notes" + std::string(kNs) + "><p:cSld><p:spTree>" +
      Shape("sldImg", "") + Shape("body", Para("Speak slowly") + "<a:p/>" + Para("Then stop")) +
      Shape("sldNum", "<a:p><a:fld id=\"{2}\" type=\"slidenum\"><a:t>1</a:t></a:fld></a:p>") +
      "</p:spTree></p:cSld></p:notes>";
  const std::string diagram =
      "<?xml version=\"1.0\"?><dgm:dataModel xmlns:dgm=\"http://schemas.openxmlformats.org/drawingml/2006/diagram\""
      " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\"><dgm:ptLst>"
      "<dgm:pt modelId=\"1\" type=\"doc\"><dgm:t><a:bodyPr/></dgm:t></dgm:pt>"
      "<dgm:pt modelId=\"2\"><dgm:t><a:bodyPr/>" + Para("Plan") + "</dgm:t></dgm:pt>"
      "<dgm:pt modelId=\"3\"><dgm:t><a:bodyPr/>" + Para("Build") + "</dgm:t></dgm:pt>"
      "</dgm:ptLst></dgm:dataModel>";
  auto series = [](std::string_view name) {
    return "<c:ser><c:idx val=\"0\"/><c:tx><c:strRef><c:f>S!B1</c:f><c:strCache><c:pt idx=\"0\"><c:v>" +
           std::string(name) + "</c:v></c:pt></c:strCache></c:strRef></c:tx><c:cat><c:strRef><c:strCache>"
           "<c:pt idx=\"0\"><c:v>North</c:v></c:pt><c:pt idx=\"1\"><c:v>South</c:v></c:pt></c:strCache></c:strRef></c:cat>"
           "<c:val><c:numRef><c:numCache><c:pt idx=\"0\"><c:v>3</c:v></c:pt></c:numCache></c:numRef></c:val></c:ser>";
  };
  const std::string chart =
      "<?xml version=\"1.0\"?><c:chartSpace xmlns:c=\"http://schemas.openxmlformats.org/drawingml/2006/chart\""
      " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\"><c:chart><c:title><c:tx><c:rich><a:bodyPr/>" +
      Para("Revenue") + "</c:rich></c:tx></c:title><c:plotArea><c:barChart>" + series("2024") + series("2025") +
      "</c:barChart><c:valAx><c:title><c:tx><c:rich>" + Para("Euros") + "</c:rich></c:tx></c:title></c:valAx>"
      "</c:plotArea></c:chart></c:chartSpace>";
  const std::string comments =
      "<?xml version=\"1.0\"?><p:cmLst" + std::string(kNs) + "><p:cm authorId=\"0\" idx=\"1\"><p:pos x=\"1\" y=\"1\"/>"
      "<p:text>Check  this</p:text></p:cm><p:cm authorId=\"9\" idx=\"2\"><p:text>Who?</p:text></p:cm></p:cmLst>";
  const std::string presentation =
      "<?xml version=\"1.0\"?><p:presentation" + std::string(kNs) + "><p:sldIdLst>"
      "<p:sldId id=\"256\" r:id=\"rId2\"/><p:sldId id=\"257\" r:id=\"rId1\"/><p:sldId id=\"258\" r:id=\"rId3\"/>"
      "</p:sldIdLst></p:presentation>";

  test::ZipWriter zip;
  zip.Add("_rels/.rels", Rels({{"officeDocument", "ppt/presentation.xml"}}));
  zip.Add("ppt/presentation.xml", presentation);
  zip.Add("ppt/_rels/presentation.xml.rels",
          Rels({{"slide", "slides/slide1.xml"}, {"slide", "/ppt/slides/slide2.xml"}, {"slide", "slides/slide3.xml"},
                {"commentAuthors", "commentAuthors.xml"}, {"authors", "authors.xml"}}));
  // Threaded comments: the reply is written before the comment's own text.
  const std::string p188 = " xmlns:p188=\"http://schemas.microsoft.com/office/powerpoint/2018/8/main\"" + std::string(kNs);
  zip.Add("ppt/authors.xml", "<p188:authorLst" + p188 + "><p188:author id=\"{B}\" name=\"Bo\"/>"
                             "<p188:author id=\"{C}\" name=\"Cy\"/></p188:authorLst>");
  zip.Add("ppt/slides/_rels/slide3.xml.rels", Rels({{"comments", "../comments/modernComment_1.xml"}}));
  zip.Add("ppt/comments/modernComment_1.xml",
          "<p188:cmLst" + p188 + "><p188:cm id=\"{1}\" authorId=\"{B}\"><p188:replyLst>"
          "<p188:reply id=\"{2}\" authorId=\"{C}\"><p188:txBody><a:bodyPr/>" + Para("Agreed") +
          "</p188:txBody></p188:reply></p188:replyLst><p188:txBody><a:bodyPr/>" + Para("Shorter?") + Para("Or not") +
          "</p188:txBody></p188:cm></p188:cmLst>");
  zip.Add("ppt/commentAuthors.xml", "<p:cmAuthorLst" + std::string(kNs) +
                                        "><p:cmAuthor id=\"0\" name=\"Ann\" initials=\"A\"/></p:cmAuthorLst>");
  zip.Add("ppt/slides/slide1.xml", SlideXml(Shape("", "<a:p><a:r><a:t xml:space=\"preserve\">  two spaces</a:t></a:r></a:p>")));
  zip.Add("ppt/slides/slide2.xml", slide2);
  zip.Add("ppt/slides/_rels/slide2.xml.rels",
          Rels({{"notesSlide", "../notesSlides/notesSlide1.xml"}, {"diagramData", "../diagrams/data1.xml"},
                {"chart", "../charts/chart1.xml"}, {"comments", "../comments/comment1.xml"},
                {"slideLayout", "../slideLayouts/slideLayout1.xml"}}));
  zip.Add("ppt/notesSlides/notesSlide1.xml", notes);
  zip.Add("ppt/diagrams/data1.xml", diagram);
  zip.Add("ppt/charts/chart1.xml", chart);
  zip.Add("ppt/comments/comment1.xml", comments);
  zip.Add("ppt/slides/slide3.xml", SlideXml(Shape("title", Para("Last"))));
  return zip.Build();
}

class PptxSlidesTest : public ::testing::Test {
 protected:
  void SetUp() override { path_ = PathFromNative(dir_.Write("deck.pptx", MakeDeck())); }

  std::string Convert(SlideMode mode, int32_t codePage = 65001) {
    OutputBuffer out;
    const ResultCode code = test::ConvertPptxFile(path_, out, codePage, mode);
    EXPECT_GE(code, 0);
    return code > 0 ? std::string(reinterpret_cast<const char*>(out.Data()), static_cast<size_t>(code)) : "";
  }

  test::ScratchDir dir_;
  std::u16string path_;
};

TEST_F(PptxSlidesTest, ModelFollowsTheShowAndKeepsTextExact) {
  SlideDeck deck;
  ASSERT_EQ(test::ReadDeckOfFile(PresentationKind::kPptx, path_, deck), 0);
  ASSERT_EQ(deck.slides.size(), 3u);
  const Slide& first = deck.slides[0];
  EXPECT_EQ(first.number, 1);
  EXPECT_TRUE(first.hidden);
  EXPECT_EQ(first.title, "Show\ntell");
  EXPECT_EQ(first.paragraphs,
            (std::vector<std::string>{"Show", "tell", "Bold italic 7\nafter break", "Head A", "Wide", "x", "y", "z",
                                      "Chosen", "Deep & \xE2\x82\xAC" "5"}));
  ASSERT_EQ(first.tables.size(), 1u);
  EXPECT_EQ(first.tables[0].rows,
            (std::vector<std::vector<std::string>>{{"Head A", "Wide", ""}, {"x\ny", "", "z"}}));
  EXPECT_EQ(first.notes, (std::vector<std::string>{"Speak slowly", "Then stop"}));
  EXPECT_EQ(first.diagrams, (std::vector<std::string>{"Plan", "Build"}));
  EXPECT_EQ(first.charts, (std::vector<std::string>{"Revenue", "2024", "North", "South", "2025", "Euros"}));
  ASSERT_EQ(first.comments.size(), 2u);
  EXPECT_EQ(first.comments[0].author, "Ann");
  EXPECT_EQ(first.comments[0].text, "Check  this");
  EXPECT_EQ(first.comments[1].author, "9");  // an unknown author keeps its id

  const Slide& second = deck.slides[1];
  EXPECT_FALSE(second.hidden);
  EXPECT_EQ(second.title, "");
  EXPECT_EQ(second.paragraphs, (std::vector<std::string>{"  two spaces"}));
  EXPECT_TRUE(second.notes.empty());
  EXPECT_EQ(deck.slides[2].title, "Last");
  ASSERT_EQ(deck.slides[2].comments.size(), 2u);
  EXPECT_EQ(deck.slides[2].comments[0].author, "Bo");
  EXPECT_EQ(deck.slides[2].comments[0].text, "Shorter?\nOr not");
  EXPECT_EQ(deck.slides[2].comments[1].author, "Cy");
  EXPECT_EQ(deck.slides[2].comments[1].text, "Agreed");
}

TEST_F(PptxSlidesTest, CompleteTextIsEncodedLikeTheDefaultText) {
  const std::string expected =
      "Slide 1 (hidden)\r\nShow\r\ntell\r\nBold italic 7\r\nafter break\r\nHead A\tWide\t\r\nx y\t\tz\r\nChosen\r\n"
      "Deep & \xE2\x82\xAC" "5\r\nPlan\r\nBuild\r\nRevenue\r\n2024\r\nNorth\r\nSouth\r\n2025\r\nEuros\r\n"
      "Notes:\r\nSpeak slowly\r\nThen stop\r\nAnn: Check  this\r\n9: Who?\r\n\r\n"
      "Slide 2\r\n  two spaces\r\n\r\nSlide 3\r\nLast\r\nBo: Shorter?\r\nOr not\r\nCy: Agreed\r\n";
  EXPECT_EQ(Convert(SlideMode::kFull), "\xEF\xBB\xBF" + expected);
  // A single-byte code page: the euro sign as 0x80.
  const std::string ansi = Convert(SlideMode::kFull, 1252);
  EXPECT_NE(ansi.find("Deep & \x80" "5\r\n"), std::string::npos);
}

TEST_F(PptxSlidesTest, JsonReadsBackAsTheModel) {
  const std::string json = Convert(SlideMode::kJson);
  ASSERT_FALSE(json.starts_with("\xEF\xBB\xBF"));
  const auto value = JsonParser::Parse(json);
  ASSERT_TRUE(value.has_value()) << json;
  const auto& slides = (*value)["slides"];
  ASSERT_EQ(slides.items.size(), 3u);
  const auto& first = slides[0];
  EXPECT_EQ(first.names, (std::vector<std::string>{"number", "hidden", "title", "paragraphs", "notes", "tables",
                                             "diagrams", "charts", "comments", "footers", "notes_footers", "id",
                                             "section", "layout", "blocks", "links"}));
  EXPECT_EQ(first["number"].number, 1);
  EXPECT_TRUE(first["hidden"].boolean);
  EXPECT_EQ(first["title"].text, "Show\ntell");
  EXPECT_EQ(first["paragraphs"][2].text, "Bold italic 7\nafter break");
  EXPECT_EQ(first["tables"][0][1].Strings(), (std::vector<std::string>{"x\ny", "", "z"}));
  EXPECT_EQ(first["notes"].Strings(), (std::vector<std::string>{"Speak slowly", "Then stop"}));
  EXPECT_EQ(first["comments"][0]["author"].text, "Ann");
  EXPECT_EQ(first["comments"][0]["text"].text, "Check  this");
  EXPECT_FALSE(slides[1]["hidden"].boolean);
  EXPECT_EQ(slides[2]["number"].number, 3);
}

TEST_F(PptxSlidesTest, MarkdownHasHeadingsTablesAndNotes) {
  const std::string md = Convert(SlideMode::kMarkdown);
  EXPECT_TRUE(md.starts_with("## 1. Show tell (hidden)\n\nBold italic 7\\\nafter break\n\n| Head A | Wide |  |\n| --- | --- | --- |\n| x y |  | z |\n\nChosen\n\nDeep \\& "))
      << md;
  EXPECT_NE(md.find("### Notes\n\nSpeak slowly\n\nThen stop\n\n### Comments\n\n- Ann: Check  this\n"), std::string::npos);
  EXPECT_NE(md.find("## 2.\n\ntwo spaces\n\n## 3. Last\n\n"), std::string::npos);
}

TEST_F(PptxSlidesTest, TextModeIsTheDefaultConverter) {
  OutputBuffer out;
  const ResultCode code = test::ConvertPptxFile(path_, out, 65001, SlideMode::kText);
  ASSERT_GT(code, 0);
  const std::string text(reinterpret_cast<const char*>(out.Data()), static_cast<size_t>(code));
  EXPECT_TRUE(text.starts_with("\xEF\xBB\xBFslide1:\r\n")) << text;
  EXPECT_NE(text.find("Bolditalic7"), std::string::npos);
}

TEST(PptxSlidesFallback, SlidePartsByNumberWithoutAPresentationPart) {
  test::ScratchDir dir;
  test::ZipWriter zip;
  // Numbered as the default text numbers them, but not bounded by the number of entries.
  zip.Add("ppt/slides/slide10.xml", SlideXml(Shape("", Para("ten"))));
  zip.Add("ppt/slides/slide2.xml", SlideXml(Shape("", Para("two"))));
  zip.Add("ppt/slides/slide02.xml", SlideXml(Shape("", Para("leading zero"))));
  zip.Add("ppt/slides/slide2.xml.bak", SlideXml(Shape("", Para("backup"))));
  SlideDeck deck;
  ASSERT_EQ(test::ReadDeckOfFile(PresentationKind::kPptx, PathFromNative(dir.Write("x.pptx", zip.Build())), deck), 0);
  ASSERT_EQ(deck.slides.size(), 2u);
  EXPECT_EQ(deck.slides[0].paragraphs, std::vector<std::string>{"two"});
  EXPECT_EQ(deck.slides[1].paragraphs, std::vector<std::string>{"ten"});
}

TEST(PptxSlidesHostile, DeepNestingCostsNoStack) {
  // Far deeper than any stack could recurse (within a slide's tags): groups in groups, and an
  // alternative to skip.
  constexpr int kDepth = 80000;
  std::string shapes;
  for (int i = 0; i < kDepth; ++i) shapes += "<p:grpSp>";
  shapes += Shape("", Para("bottom"));
  for (int i = 0; i < kDepth; ++i) shapes += "</p:grpSp>";
  shapes += "<mc:AlternateContent><mc:Choice/><mc:Fallback>";
  for (int i = 0; i < kDepth; ++i) shapes += "<p:grpSp>";
  shapes += Shape("", Para("fallback"));
  test::ScratchDir dir;
  test::ZipWriter zip;
  zip.Add("ppt/slides/slide1.xml", SlideXml(shapes));  // the fallback never closes
  SlideDeck deck;
  ASSERT_EQ(test::ReadDeckOfFile(PresentationKind::kPptx, PathFromNative(dir.Write("deep.pptx", zip.Build())), deck), 0);
  ASSERT_EQ(deck.slides.size(), 1u);
  EXPECT_EQ(deck.slides[0].paragraphs, std::vector<std::string>{"bottom"});
}

TEST(PptxSlidesHostile, SlideListedTwiceIsShownOnce) {
  test::ScratchDir dir;
  test::ZipWriter zip;
  zip.Add("ppt/presentation.xml", "<p:presentation" + std::string(kNs) +
                                      "><p:sldIdLst><p:sldId r:id=\"rId1\"/><p:sldId r:id=\"rId2\"/>"
                                      "<p:sldId r:id=\"rId1\"/><p:sldId r:id=\"rId9\"/></p:sldIdLst></p:presentation>");
  zip.Add("ppt/_rels/presentation.xml.rels", Rels({{"slide", "slides/a.xml"}, {"slide", "slides/b.xml"}}));
  zip.Add("ppt/slides/a.xml", SlideXml(Shape("", Para("a"))));
  zip.Add("ppt/slides/b.xml", SlideXml(Shape("", Para("b"))));
  SlideDeck deck;
  ASSERT_EQ(test::ReadDeckOfFile(PresentationKind::kPptx, PathFromNative(dir.Write("twice.pptx", zip.Build())), deck), 0);
  ASSERT_EQ(deck.slides.size(), 2u);  // rId9 names no slide
  EXPECT_EQ(deck.slides[0].paragraphs, std::vector<std::string>{"a"});
  EXPECT_EQ(deck.slides[1].paragraphs, std::vector<std::string>{"b"});
  EXPECT_EQ(deck.slides[1].number, 2);
}

// The show may name a slide's part in another letter case: the part it shows is then no text
// of no slide. A name with blanks around it finds its part to show, but not to leave out.
TEST(PptxSlides, PartsTheShowNamesAreNoOrphansWhateverTheirCase) {
  test::ScratchDir dir;
  test::ZipWriter zip;
  zip.Add("ppt/presentation.xml", "<p:presentation" + std::string(kNs) +
                                      "><p:sldIdLst><p:sldId r:id=\"rId1\"/><p:sldId r:id=\"rId2\"/></p:sldIdLst>"
                                      "</p:presentation>");
  zip.Add("ppt/_rels/presentation.xml.rels", Rels({{"slide", "Slides/SLIDE1.xml"}, {"slide", "slides/slide2.xml "}}));
  zip.Add("ppt/slides/slide1.xml", SlideXml(Shape("", Para("one"))));
  zip.Add("ppt/slides/slide2.xml", SlideXml(Shape("", Para("two"))));
  zip.Add("ppt/slides/slide3.xml", SlideXml(Shape("", Para("three"))));
  SlideDeck deck;
  ASSERT_EQ(test::ReadDeckOfFile(PresentationKind::kPptx, PathFromNative(dir.Write("case.pptx", zip.Build())), deck), 0);
  ASSERT_EQ(deck.slides.size(), 2u);
  EXPECT_EQ(deck.slides[0].paragraphs, std::vector<std::string>{"one"});
  EXPECT_EQ(deck.slides[1].paragraphs, std::vector<std::string>{"two"});
  EXPECT_EQ(deck.orphans, (std::vector<std::string>{"two", "three"}));
}

TEST(PptxSlidesFailures, SameCodesAsTheDefaultConverter) {
  test::ScratchDir dir;
  test::ZipWriter zip;
  zip.Add("ppt/presentation.xml", "<p:presentation/>");
  struct Case {
    std::string name;
    std::optional<std::string> bytes;  // none: not written
    ResultCode code;
  };
  std::vector<Case> cases = {
      {"none.pptx", std::nullopt, kResultSourceMissing},
      {"plain.pptx", "not a zip", kResultFormatError},
      {"noslides.pptx", zip.Build(), kResultFormatError},
      // A password-protected package: the encrypted package inside a compound document.
      {"locked.pptx", test::BuildCfb({{u"EncryptionInfo", std::string(200, '\x04')}, {u"EncryptedPackage", "PK"}}),
       kResultEncrypted},
      {"other.pptx", test::BuildCfb({{u"Other", "x"}}), kResultFormatError},
  };
#ifndef _WIN32  // Windows has no FIFOs (tests/windows refuses its devices)
  ASSERT_EQ(mkfifo(dir.Path("pipe.pptx").c_str(), 0600), 0);
  cases.push_back({"pipe.pptx", std::nullopt, kResultSourceOpenError});
#endif
  for (const auto& c : cases) {
    const std::u16string path = PathFromNative(c.bytes ? dir.Write(c.name, *c.bytes) : dir.Path(c.name));
    OutputBuffer out;
    EXPECT_EQ(ConvertPptx(path, out, 65001), c.code) << c.name;
    const ResultCode fromMemory = c.bytes ? test::ConvertPptxBytes(*c.bytes, out, 65001) : 0;
    if (c.code == kResultEncrypted) {
      EXPECT_EQ(fromMemory, kResultEncrypted);
    }
    for (const SlideMode mode : {SlideMode::kFull, SlideMode::kMarkdown, SlideMode::kJson}) {
      EXPECT_EQ(test::ConvertPptxFile(path, out, 65001, mode), c.code) << c.name;
      if (c.bytes) {
        EXPECT_EQ(test::ConvertPptxBytes(*c.bytes, out, 65001, mode), fromMemory) << c.name;
      }
    }
    EXPECT_FALSE(out.HasBlock()) << c.name;
  }
}

// Slides read one after another share the storage of their relationships: what one slide's
// relationships part held must never show on a slide whose part holds fewer or none.
TEST(PptxSlides, EachSlideSeesOnlyItsOwnRelationships) {
  const auto linked = [](std::string_view id, std::string_view text) {
    return "<a:p><a:r><a:rPr><a:hlinkClick r:id=\"" + std::string(id) + "\"/></a:rPr><a:t>" + std::string(text) +
           "</a:t></a:r></a:p>";
  };
  const auto external = [](int id, std::string_view target) {
    return "<Relationship Id=\"rId" + std::to_string(id) + "\" Type=\"" + std::string(test::kRel) +
           "hyperlink\" Target=\"" + std::string(target) + "\" TargetMode=\"External\"/>";
  };
  const std::string root = R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)";
  // Slide 1: many links (more than are kept for the next slide) and notes; slide 2: only
  // notes; slide 3: a target with a reference (the general reader's part); slide 4: no part.
  std::string many = root + "<Relationship Id=\"rId1\" Type=\"" + std::string(test::kRel) +
                     "notesSlide\" Target=\"../notesSlides/notesSlide1.xml\"/>";
  for (int i = 2; i <= 400; ++i) many += external(i, "https://example.com/" + std::to_string(i));
  many += "</Relationships>";
  test::ZipWriter zip;
  zip.Add("_rels/.rels", Rels({{"officeDocument", "ppt/presentation.xml"}}));
  std::string list;
  std::vector<std::pair<std::string, std::string>> slides;
  for (int i = 1; i <= 4; ++i) {
    list += "<p:sldId id=\"" + std::to_string(255 + i) + "\" r:id=\"rId" + std::to_string(i) + "\"/>";
    slides.emplace_back("slide", "slides/slide" + std::to_string(i) + ".xml");
  }
  zip.Add("ppt/presentation.xml", "<?xml version=\"1.0\"?><p:presentation" + std::string(kNs) + "><p:sldIdLst>" +
                                      list + "</p:sldIdLst></p:presentation>");
  zip.Add("ppt/_rels/presentation.xml.rels", Rels(slides));
  zip.Add("ppt/slides/slide1.xml", SlideXml(Shape("body", linked("rId400", "one"))));
  zip.Add("ppt/slides/_rels/slide1.xml.rels", many);
  zip.Add("ppt/notesSlides/notesSlide1.xml", test::NotesXml(Shape("body", Para("first notes"))));
  zip.Add("ppt/slides/slide2.xml", SlideXml(Shape("body", linked("rId400", "two") + linked("rId2", "two"))));
  zip.Add("ppt/slides/_rels/slide2.xml.rels", Rels({{"notesSlide", "../notesSlides/notesSlide2.xml"}}));
  zip.Add("ppt/notesSlides/notesSlide2.xml", test::NotesXml(Shape("body", Para("second notes"))));
  zip.Add("ppt/slides/slide3.xml", SlideXml(Shape("body", linked("rId1", "three"))));
  zip.Add("ppt/slides/_rels/slide3.xml.rels", root + external(1, "https://example.com/?a=1&amp;b=2") + "</Relationships>");
  zip.Add("ppt/slides/slide4.xml", SlideXml(Shape("body", linked("rId1", "four"))));
  OutputBuffer out;
  const ResultCode code = test::ConvertPptxBytes(zip.Build(), out, 65001, SlideMode::kJson);
  ASSERT_GT(code, 0);
  const std::string json(reinterpret_cast<const char*>(out.Data()), static_cast<size_t>(code));
  const auto value = JsonParser::Parse(json);
  ASSERT_TRUE(value.has_value()) << json;
  const auto& shown = (*value)["slides"];
  ASSERT_EQ(shown.items.size(), 4u) << json;
  const auto links = [&](size_t slide) {
    std::vector<std::string> targets;
    for (const auto& link : shown[slide]["links"].items) targets.push_back(link.text);
    return targets;
  };
  const auto notes = [&](size_t slide) {
    std::vector<std::string> texts;
    for (const auto& note : shown[slide]["notes"].items) texts.push_back(note.text);
    return texts;
  };
  EXPECT_EQ(links(0), std::vector<std::string>{"https://example.com/400"});
  EXPECT_EQ(notes(0), std::vector<std::string>{"first notes"});
  EXPECT_EQ(links(1), std::vector<std::string>{}) << json;
  EXPECT_EQ(notes(1), std::vector<std::string>{"second notes"});
  EXPECT_EQ(links(2), std::vector<std::string>{"https://example.com/?a=1&b=2"});
  EXPECT_EQ(notes(2), std::vector<std::string>{});
  EXPECT_EQ(links(3), std::vector<std::string>{}) << json;
  EXPECT_EQ(notes(3), std::vector<std::string>{});
}

}  // namespace
}  // namespace dkscr
