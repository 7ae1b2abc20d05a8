// Relationship targets resolved against the part that holds them.
#include <gtest/gtest.h>

#include <string>

#include "pptx/OpcRelationships.h"

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

}  // namespace
}  // namespace dkscr
