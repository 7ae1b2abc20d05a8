#include "app/session/FileNames.h"

#include <gtest/gtest.h>


namespace dkscr {
namespace {

TEST(FileNames, ExtensionAndTarget) {
  EXPECT_EQ(ExtensionOf(u"/a/b.c/x.PPT"), u".PPT");
  EXPECT_EQ(ExtensionOf(u"/a/b.c/noext"), u"");  // the dot of a folder does not count
  Settings s;
  s.targetBesideSource = true;
  EXPECT_EQ(TargetFileName(u"/talks/intro.pptx", s), u"/talks/intro.txt");
  EXPECT_EQ(TargetFileName(u"/talks.d/readme", s), u"/talks.d/readme.txt");
  s.targetBesideSource = false;
  s.targetDir = u"/out/";
  EXPECT_EQ(TargetFileName(u"/talks.d/intro.pptx", s), u"/out/intro.txt");
  s.textForm = kTextFormComplete;
  EXPECT_EQ(TargetFileName(u"/talks.d/intro.pptx", s), u"/out/intro.txt");
  s.textForm = kTextFormMarkdown;
  EXPECT_EQ(TargetFileName(u"/talks.d/intro.pptx", s), u"/out/intro.md");
}

}  // namespace
}  // namespace dkscr
