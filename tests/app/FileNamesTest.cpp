#include "app/FileNames.h"

#include <gtest/gtest.h>

#include "app/FileList.h"

namespace dkscr {
namespace {

TEST(FileNames, PartsAndExtension) {
  EXPECT_EQ(FileNamePart(u"/a/b.c/x.PPT"), u"x.PPT");
  EXPECT_EQ(FolderPart(u"/a/b.c/x.PPT"), u"/a/b.c/");
  EXPECT_EQ(ExtensionOf(u"/a/b.c/x.PPT"), u".PPT");
  EXPECT_EQ(ExtensionOf(u"/a/b.c/noext"), u"");  // the dot of a folder does not count
  EXPECT_EQ(ExtensionOf(u"deck.ppt.bak"), u".bak");
  EXPECT_EQ(FileNamePart(u"plain"), u"plain");
  EXPECT_EQ(FolderPart(u"plain"), u"");
}

TEST(FileNames, TargetBesideTheSourceOrInTheTargetFolder) {
  TSettings s;
  s.samedir = true;
  EXPECT_EQ(TargetFileName(u"/talks/intro.pptx", s), u"/talks/intro.txt");
  EXPECT_EQ(TargetFileName(u"/talks.d/readme", s), u"/talks.d/readme.txt");
  s.samedir = false;
  s.targetdir = u"/out/";
  EXPECT_EQ(TargetFileName(u"/talks/intro.pptx", s), u"/out/intro.txt");
  EXPECT_EQ(TargetFileName(u"/talks.d/readme", s), u"/out/readme.txt");
}

TEST(FileList, FindSourceIgnoresCaseAndMissingColumnsReadEmpty) {
  TFileList list;
  TFileListEntry& e = list.Add();
  e.SetSubItem(kSubItemSourceFile, u"/A/Talk.PPT");
  EXPECT_EQ(e.SubItems.size(), 2u);
  EXPECT_EQ(e.SubItem(kSubItemMessage), u"");
  list.Add().SetSubItem(kSubItemSourceFile, u"/a/\u00FCber.ppt");
  EXPECT_EQ(list.FindSource(u"/a/talk.ppt"), 0u);
  EXPECT_EQ(list.FindSource(u"/A/\u00DCBER.PPT"), 1u);
  EXPECT_EQ(list.FindSource(u"/a/talk.pptx"), TFileList::npos);
  list.Delete(0);
  EXPECT_EQ(list.Count(), 1u);
  EXPECT_EQ(list.FindSource(u"/a/talk.ppt"), TFileList::npos);
}

}  // namespace
}  // namespace dkscr
