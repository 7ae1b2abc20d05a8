// Relationship targets resolved against the part that holds them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pptx/OpcRelationships.h"
#include "xml/XmlPullReader.h"

namespace dkscr {
namespace {

TEST(OpcRelationshipsTest, TargetsResolveAgainstTheSourceFolder) {
  const struct {
    const char* source;
    const char* target;
    const char* part;
  } cases[] = {
      {"ppt/slides/slide1.xml", "../slideLayouts/slideLayout2.xml", "ppt/slideLayouts/slideLayout2.xml"},
      {"ppt/slides/slide1.xml", "../../../../media/a.png", "media/a.png"},  // never above the root
      {"ppt/slides/slide1.xml", "/ppt/media/image1.png", "ppt/media/image1.png"},
      {"ppt/slides/slide1.xml", "./a/./b//c.xml", "ppt/slides/a/b/c.xml"},
      {"ppt/slides/slide1.xml", "a/../b.xml", "ppt/slides/b.xml"},
      {"ppt/slides/slide1.xml", "..", "ppt"},
      {"ppt/slides/slide1.xml", "../..", ""},
      {"ppt/slides/slide1.xml", "", "ppt/slides"},
      {"ppt/presentation.xml", "slides/slide3.xml", "ppt/slides/slide3.xml"},
      {"", "ppt/presentation.xml", "ppt/presentation.xml"},
      {"", "/docProps/core.xml", "docProps/core.xml"},
      {"a//b/part.xml", "../c.xml", "a/c.xml"},          // empty folder segments go
      {"a/../b/part.xml", "c.xml", "a/../b/c.xml"},      // the source's own segments stay as written
      {"a/../b/part.xml", "../../c.xml", "a/c.xml"},
      {"x/y/part.xml", "../../../..//z/", "z"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ResolvePartTarget(c.source, c.target), c.part) << c.source << " + " << c.target;
  }
}

TEST(OpcRelationshipsTest, ExternalAndFragmentTargetsStayAsWritten) {
  const std::string xml =
      R"(<Relationships><Relationship Id="rId1" Type="http://x/slideLayout" Target="../slideLayouts/slideLayout1.xml"/>)"
      R"(<Relationship Id="rId2" Type="http://x/hyperlink" Target="https://example.com/a/../b" TargetMode="External"/>)"
      R"(<Relationship Id="rId3" Type="http://x/hyperlink" Target="#_ftn1"/></Relationships>)";
  const std::vector<OpcRelationship> all = ParseRelationships(xml, "ppt/slides/slide1.xml", true);
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].target, "ppt/slideLayouts/slideLayout1.xml");
  EXPECT_TRUE(RelationshipIs(all[0], "slideLayout"));
  EXPECT_FALSE(RelationshipIs(all[0], "Layout"));
  EXPECT_EQ(all[1].target, "https://example.com/a/../b");
  EXPECT_TRUE(all[1].external);
  EXPECT_EQ(all[2].target, "#_ftn1");
  EXPECT_EQ(ParseRelationships(xml, "ppt/slides/slide1.xml").size(), 2u);
}

// The relationships as the general XML reader reads them: what every part must give, whichever
// way it is read.
std::vector<OpcRelationship> ReadByPullReader(std::string_view xml, std::string_view source, bool withExternal) {
  std::vector<OpcRelationship> out;
  XmlPullReader reader(xml);
  for (auto event = reader.Next(); event != XmlPullReader::Event::kEnd; event = reader.Next()) {
    if (event != XmlPullReader::Event::kStartElement || reader.LocalName() != "Relationship") continue;
    const bool external = reader.Attribute("TargetMode") == "External";
    if (external && !withExternal) continue;
    const std::string target = reader.Attribute("Target");
    out.push_back({reader.Attribute("Id"), reader.Attribute("Type"),
                   external || target.starts_with('#') ? target : ResolvePartTarget(source, target), external});
  }
  return out;
}

void ExpectSameRelationships(const std::vector<OpcRelationship>& got, const std::vector<OpcRelationship>& want,
                             const std::string& xml) {
  ASSERT_EQ(got.size(), want.size()) << xml;
  for (size_t i = 0; i < got.size(); ++i) {
    EXPECT_EQ(got[i].id, want[i].id) << xml;
    EXPECT_EQ(got[i].type, want[i].type) << xml;
    EXPECT_EQ(got[i].target, want[i].target) << xml;
    EXPECT_EQ(got[i].external, want[i].external) << xml;
  }
}

constexpr const char* kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
constexpr const char* kRoot = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
constexpr const char* kLayout =
    "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
    "slideLayout\" Target=\"../slideLayouts/slideLayout1.xml\"/>";
constexpr const char* kLink =
    "<Relationship Id=\"rId2\" Type=\"http://x/hyperlink\" Target=\"https://example.com/a?b=1\" "
    "TargetMode=\"External\"/>";

TEST(OpcRelationshipsTest, OddPartsReadAsTheGeneralReaderReadsThem) {
  const std::string plain = std::string(kDeclaration) + kRoot + kLayout + kLink + "</Relationships>";
  const std::vector<std::string> parts = {
      plain,
      std::string(kRoot) + "</Relationships>",
      "<Relationships/>",
      std::string(kDeclaration) + "<Relationships xmlns=\"x\"/>\r\n",
      // Prefixes: the element counts by its local name, the attributes by their written name.
      R"(<p:Relationships xmlns:p="x"><p:Relationship Id="a" Type="t/slide" Target="s.xml"/></p:Relationships>)",
      R"(<Relationships><Relationship p:Id="a" Id="b" Type="t/slide" Target="s.xml"/></Relationships>)",
      R"(<r:Relationship xmlns:r="x" Id="a" Type="t/slide" Target="s.xml"/>)",
      // References, quotes and white space in values and tags.
      R"(<Relationships><Relationship Id="a" Type="t/hyperlink" Target="q?a=1&amp;b=&#50;" TargetMode="External"/></Relationships>)",
      R"(<Relationships><Relationship Id="a" Type="t/slide" Target="x&lt;y.xml"/></Relationships>)",
      "<Relationships><Relationship Id='a' Type='t/slide' Target='s\"1.xml'/></Relationships>",
      "<Relationships><Relationship Id=\"a\"\r\nType=\"t/slide\"\tTarget=\"s.xml\" /></Relationships>",
      "<Relationships><Relationship Id = \"a\" Type=\"t/slide\" Target=\"s\r\n1.xml\"/></Relationships>",
      "<Relationships><Relationship Id=\"a\" Type=\"t/slide\" Target=\"caf\xc3\xa9.xml\"/></Relationships>",
      // Line breaks, tabs and a zero byte inside otherwise plain values.
      "<Relationships><Relationship Id=\"a\" Type=\"t/slide\" Target=\"s\r\n1.xml\"/></Relationships>",
      "<Relationships><Relationship Id=\"a\" Type=\"t/slide\" Target=\"s\n\r1.xml\"/></Relationships>",
      "<Relationships><Relationship Id=\"a\tb\" Type=\"t/slide\" Target=\"s.xml\"/></Relationships>",
      std::string("<Relationships><Relationship Id=\"a\" Type=\"t/slide\" Target=\"s\0t.xml\"/></Relationships>", 85),
      R"(<Relationships><Relationship Id="a" Type="t/slide" Target="a>b.xml"/></Relationships>)",
      // External targets, duplicate ids and attributes, odd modes.
      R"(<Relationships><Relationship Id="a" Type="t/x" Target="../m.bin" TargetMode="Internal"/><Relationship Id="a" Type="t/y" Target="../n.bin" TargetMode="external"/></Relationships>)",
      R"(<Relationships><Relationship Id="a" Id="b" Type="t/slide" Target="s.xml" Target="u.xml"/></Relationships>)",
      R"(<Relationships><Relationship Id="a" Type="t/slide" Target="#frag"/><Relationship/></Relationships>)",
      // Other markup around and between the elements.
      "\xef\xbb\xbf" + plain,
      std::string(kRoot) + "<!-- c -->" + kLayout + "<![CDATA[<Relationship Id=\"z\"/>]]></Relationships>",
      std::string(kRoot) + "<Relationship Id=\"a\" Type=\"t\" Target=\"s.xml\"></Relationship>" + kLink + "</Relationships>",
      std::string(kRoot) + "<Other>" + kLayout + "</Other></Relationships>",
      std::string(kRoot) + "text" + kLayout + "</Relationships>",
      std::string(kRoot) + kLayout + "</Relationships><Relationships>" + kLink + "</Relationships>",
      std::string(kRoot) + kLayout + "</Relationship>",
      plain + std::string("\0", 1) + kLayout,
      "<?xml-stylesheet href=\"a\"?><?xml version=\"1.0\"?>" + plain,
  };
  for (const std::string& xml : parts) {
    for (const bool withExternal : {false, true}) {
      ExpectSameRelationships(ParseRelationships(xml, "ppt/slides/slide1.xml", withExternal),
                              ReadByPullReader(xml, "ppt/slides/slide1.xml", withExternal), xml);
    }
  }
  // A part cut anywhere.
  for (size_t length = 0; length <= plain.size(); ++length) {
    const std::string cut = plain.substr(0, length);
    ExpectSameRelationships(ParseRelationships(cut, "ppt/slides/slide1.xml", true),
                            ReadByPullReader(cut, "ppt/slides/slide1.xml", true), cut);
  }
}

TEST(OpcRelationshipsTest, ReusedVectorGivesWhatAFreshOneGives) {
  const std::string three = std::string(kRoot) + kLayout + kLink +
                            R"(<Relationship Id="rId3" Type="t/notesSlide" Target="../notesSlides/notesSlide12345678901234.xml"/>)" +
                            "</Relationships>";
  const std::string one = std::string(kRoot) + R"(<Relationship Id="x" Type="t/n" Target="n.xml"/>)" + "</Relationships>";
  const std::string general = R"(<Relationships><Relationship Id="g" Type="t/n" Target="a&amp;b.xml"/></Relationships>)";
  std::vector<OpcRelationship> reused;
  for (const std::string* xml : {&three, &one, &three, &general, &three, &one}) {
    for (const bool withExternal : {true, false}) {
      ParseRelationshipsInto(*xml, "ppt/slides/slide9.xml", withExternal, reused);
      ExpectSameRelationships(reused, ReadByPullReader(*xml, "ppt/slides/slide9.xml", withExternal), *xml);
    }
  }
  // A part that cannot be read leaves nothing of the one before.
  ParseRelationshipsInto("", "ppt/slides/slide9.xml", true, reused);
  EXPECT_TRUE(reused.empty());
}

TEST(OpcRelationshipsTest, RelationshipsPartNameIntoReusesItsString) {
  std::string name = "a much longer name left over from an earlier part";
  RelationshipsPartNameInto("ppt/slides/slide1.xml", name);
  EXPECT_EQ(name, "ppt/slides/_rels/slide1.xml.rels");
  RelationshipsPartNameInto("", name);
  EXPECT_EQ(name, "_rels/.rels");
  std::string target = "left over";
  ResolvePartTargetInto("ppt/slides/slide1.xml", "../media/a.png", target);
  EXPECT_EQ(target, "ppt/media/a.png");
}

}  // namespace
}  // namespace dkscr
