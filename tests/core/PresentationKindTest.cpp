#include "convert/PresentationKind.h"

#include <gtest/gtest.h>

namespace dkscr {
namespace {

TEST(PresentationKindTest, ExtensionFamilyInAnyCase) {
  for (const char* e : {"ppt", "PPS", "Pot"}) EXPECT_EQ(KindOfExtension(e), PresentationKind::kPpt) << e;
  for (const char* e : {"pptx", "PPTM", "ppsx", "ppsM", "potx", "potm"}) {
    EXPECT_EQ(KindOfExtension(e), PresentationKind::kPptx) << e;
  }
  for (const char* e : {"", "pp", "pptxx", "doc", "ppt ", "xppt"}) {
    EXPECT_EQ(KindOfExtension(e), PresentationKind::kUnknown) << e;
  }
}

TEST(PresentationKindTest, ExtensionIsTakenFromTheLastNameOnly) {
  EXPECT_EQ(ExtensionOfPath("a.b/deck.PPTX"), "PPTX");
  EXPECT_EQ(ExtensionOfPath("a.ppt/deck"), "");
  EXPECT_EQ(ExtensionOfPath("deck."), "");
  EXPECT_EQ(ExtensionOfPath(".ppt"), "ppt");
}

TEST(PresentationKindTest, ContentSignatures) {
  const unsigned char compound[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  EXPECT_EQ(KindOfContent(compound, 8), PresentationKind::kPpt);
  EXPECT_EQ(KindOfContent(compound, 7), PresentationKind::kUnknown);  // cut short
  EXPECT_EQ(KindOfContent("PK\3\4", 4), PresentationKind::kPptx);
  EXPECT_EQ(KindOfContent("PK\5\6", 4), PresentationKind::kPptx);
  EXPECT_EQ(KindOfContent("PK\1\2", 4), PresentationKind::kUnknown);
  EXPECT_EQ(KindOfContent("PK\3", 3), PresentationKind::kUnknown);
  EXPECT_EQ(KindOfContent("", 0), PresentationKind::kUnknown);
}

}  // namespace
}  // namespace dkscr
