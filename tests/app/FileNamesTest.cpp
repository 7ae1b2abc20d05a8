#include "app/FileNames.h"

#include <gtest/gtest.h>

#include "TempDir.h"
#include "app/AddFile.h"

namespace dkscr {
namespace {

TEST(FileNames, ExtensionAndTarget) {
  EXPECT_EQ(ExtensionOf(u"/a/b.c/x.PPT"), u".PPT");
  EXPECT_EQ(ExtensionOf(u"/a/b.c/noext"), u"");  // the dot of a folder does not count
  TSettings s;
  s.samedir = true;
  EXPECT_EQ(TargetFileName(u"/talks/intro.pptx", s), u"/talks/intro.txt");
  EXPECT_EQ(TargetFileName(u"/talks.d/readme", s), u"/talks.d/readme.txt");
  s.samedir = false;
  s.targetdir = u"/out/";
  EXPECT_EQ(TargetFileName(u"/talks.d/intro.pptx", s), u"/out/intro.txt");
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
  std::u16string lower = talk;
  for (char16_t& c : lower) c = (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
  EXPECT_EQ(AddSourceFile(list, g, lower), TAddFileOutcome::AlreadyAdded);
  // A missing file still comes in, with size 0; deck.pp is taken as PPT, deck.pt is not.
  ASSERT_EQ(AddSourceFile(list, g, u"/nowhere/deck.pp"), TAddFileOutcome::Added);
  EXPECT_EQ(list[1].SubItem(kSubItemSize), u"0");
  EXPECT_EQ(list[1].SubItem(kSubItemType), u"PPT");
  for (const char16_t* refused : {u"/x/deck.pt", u"/x/noext", u"/x/n.txt"}) {
    EXPECT_EQ(AddSourceFile(list, g, refused), TAddFileOutcome::TypeNotSupported);
  }
  ASSERT_EQ(AddSourceFile(list, g, u"/x/n.PPTX"), TAddFileOutcome::Added);
  EXPECT_EQ(list[2].SubItem(kSubItemType), u"PPTX");
  EXPECT_EQ(list.Count(), 3u);
  EXPECT_EQ(list.FindSource(u"/X/N.pptx"), 2u);

  EXPECT_EQ(AddFileStatusText(TAddFileOutcome::AlreadyAdded, u"/p"), u"File [/p] already added!");
  EXPECT_EQ(AddFileStatusText(TAddFileOutcome::TypeNotSupported, u"/p"),
            u"File [/p] type not support!");
  EXPECT_EQ(AddFileLogText(TAddFileOutcome::AlreadyAdded, u"/p"),
            u"Add file failed: already added (/p)");
  EXPECT_EQ(AddFileLogText(TAddFileOutcome::TypeNotSupported, u"/p"),
            u"Add file failed: type not support (/p)");
}

}  // namespace
}  // namespace dkscr
