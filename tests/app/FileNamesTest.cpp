#include "app/FileNames.h"

#include <gtest/gtest.h>

#include "TempDir.h"
#include "app/AddFile.h"
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

TEST(AddSourceFile, EntryColumnsDuplicatesAndUnsupportedTypes) {
  test::TempDir dir;
  test::WriteFile(dir / "Talk.PPT", "12345");
  TGlobal g(dir.Wide(), u"/docs/");
  g.Settings.targetdir = u"/out/";
  TFileList list;
  const std::u16string talk = dir.Wide() + u"Talk.PPT";
  ASSERT_EQ(AddSourceFile(list, g, talk), TAddFileOutcome::Added);
  EXPECT_EQ(list[0].State, kStateNew);
  EXPECT_EQ(list[0].SubItems, (std::vector<std::u16string>{u"Talk.PPT", talk, u"5", u"PPT",
                                                           u"/out/Talk.txt", u""}));
  // The same file in other case is refused.
  std::u16string lower = talk;
  for (char16_t& c : lower) c = (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
  EXPECT_EQ(AddSourceFile(list, g, lower), TAddFileOutcome::AlreadyAdded);
  // A missing file still comes in, with size 0; deck.pp is taken as PPT, deck.pt is not.
  ASSERT_EQ(AddSourceFile(list, g, u"/nowhere/deck.pp"), TAddFileOutcome::Added);
  EXPECT_EQ(list[1].SubItem(kSubItemSize), u"0");
  EXPECT_EQ(list[1].SubItem(kSubItemType), u"PPT");
  EXPECT_EQ(AddSourceFile(list, g, u"/x/deck.pt"), TAddFileOutcome::TypeNotSupported);
  EXPECT_EQ(AddSourceFile(list, g, u"/x/noext"), TAddFileOutcome::TypeNotSupported);
  EXPECT_EQ(AddSourceFile(list, g, u"/x/n.txt"), TAddFileOutcome::TypeNotSupported);
  ASSERT_EQ(AddSourceFile(list, g, u"/x/n.PPTX"), TAddFileOutcome::Added);
  EXPECT_EQ(list[2].SubItem(kSubItemType), u"PPTX");
  EXPECT_EQ(list.Count(), 3u);

  EXPECT_EQ(AddFileStatusText(TAddFileOutcome::AlreadyAdded, u"/p"), u"File [/p] already added!");
  EXPECT_EQ(AddFileStatusText(TAddFileOutcome::TypeNotSupported, u"/p"),
            u"File [/p] type not support!");
  EXPECT_EQ(AddFileLogText(TAddFileOutcome::AlreadyAdded, u"/p"),
            u"Add file failed: already added (/p)");
  EXPECT_EQ(AddFileLogText(TAddFileOutcome::TypeNotSupported, u"/p"),
            u"Add file failed: type not support (/p)");
  EXPECT_EQ(AddFileLogText(TAddFileOutcome::Added, u"/p"), u"");
}

}  // namespace
}  // namespace dkscr
