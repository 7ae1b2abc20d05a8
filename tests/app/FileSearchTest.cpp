#include "app/KelFileFind.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "TempDir.h"

namespace dkscr {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

class FileSearchTest : public ::testing::Test {
 protected:
  void Files(std::initializer_list<const char*> names) {
    for (const char* name : names) {
      fs::create_directories((root_ / name).substr(0, (root_ / name).rfind('/')));
      test::WriteFile(root_ / name, "x");
    }
  }
  std::string Rel(const std::u16string& path) const {
    return PathToNative(path).substr(std::min(root_.Path().size(), PathToNative(path).size()));
  }
  // Runs a search and returns the reported files as paths below the test folder.
  Names Run(const std::u16string& exts, bool recurse, std::u16string dir = {}) {
    found_.clear(), folders_.clear(), finished_ = 0;
    search_.SearchDir = dir.empty() ? root_.Wide() : dir;
    search_.SearchExts = exts;
    search_.RecurseSubFolders = recurse;
    search_.OnFileFind = [this](const std::u16string& fullpath, const TFindData& info) {
      EXPECT_TRUE(fullpath.ends_with(u"/") && !fullpath.ends_with(u"//")) << Rel(fullpath);
      found_.push_back(Rel(fullpath + info.Name));
      if (onFind_) onFind_();
    };
    search_.OnChangeFolder = [this](const std::u16string& path) { folders_.push_back(Rel(path)); };
    search_.OnFinish = [this](TKelFileSearch& sender) { finished_ += &sender == &search_; };
    search_.Execute();
    return found_;
  }
  static Names Sorted(Names v) {
    std::sort(v.begin(), v.end());
    return v;
  }

  test::TempDir root_;
  TKelFileSearch search_;
  Names found_, folders_;
  int finished_ = 0;
  std::function<void()> onFind_;
};

TEST_F(FileSearchTest, MasksMatchWholeExtensionsIgnoringCase) {
  Files({"a.ppt", "B.PPT", "c.Pptx", "d.ppt.bak", "e", "f.pp", "g.", "h.PPTM"});
  EXPECT_EQ(Sorted(Run(u"*.PPT|*.pptx|", false)), (Names{"B.PPT", "a.ppt", "c.Pptx"}));
  EXPECT_EQ(search_.SearchExts, u"*.PPT|*.PPTX|");  // upper-cased in place
  EXPECT_EQ(finished_, 1);
  EXPECT_TRUE(Run(u"a*.ppt*.p?t|*.pp", false).empty());  // only "*" + ext + "|" can match
  EXPECT_EQ(UpperCaseText(u"*.\u00E4\u00DF\U00010428|"), u"*.\u00C4\u00DF\U00010400|");
}

TEST_F(FileSearchTest, HiddenEntriesFoldersAndRecursionFlag) {
  Files({".g.ppt", ".hidden/x.ppt", "shown/y.ppt", "top.ppt"});
  fs::create_directory(root_ / "z.ppt");  // a folder is never reported as a file
  EXPECT_EQ(Sorted(Run(u"*.ppt|", true)), (Names{"shown/y.ppt", "top.ppt"}));
  EXPECT_EQ(Sorted(folders_), (Names{"", "shown/", "z.ppt/"}));
  EXPECT_EQ(Run(u"*.ppt|", false), Names{"top.ppt"});
  EXPECT_EQ(folders_, Names{""});
}

// Depth first, in the order the file system lists each folder.
void ExpectedWalk(const fs::path& dir, const std::string& rel, Names& files, Names& folders) {
  folders.push_back(rel);
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (entry.is_directory()) {
      ExpectedWalk(entry.path(), rel + name + "/", files, folders);
    } else {
      files.push_back(rel + name);
    }
  }
}

TEST_F(FileSearchTest, SubFoldersAreWalkedBeforeTheNextEntryOfTheirParent) {
  Files({"a1.ppt", "a2.ppt", "m/b1.ppt", "m/n/c1.ppt", "m/b2.ppt", "z/d1.ppt", "z3.ppt",
         "m/n/o/e.ppt"});
  Names files, folders;
  ExpectedWalk(root_.Path(), "", files, folders);
  EXPECT_EQ(Run(u"*.ppt|", true), files);
  EXPECT_EQ(folders_, folders);  // the start folder first
}

TEST_F(FileSearchTest, StopFromAHandlerOrThePumpEndsEveryLevel) {
  Files({"a/b/c/1.ppt", "a/b/c/2.ppt", "a/3.ppt", "4.ppt", "x/5.ppt"});
  onFind_ = [this] { search_.Stop(); };
  EXPECT_EQ(Run(u"*.ppt|", true).size(), 1u);
  EXPECT_EQ(finished_, 1);
  EXPECT_TRUE(search_.UserStopped());
  onFind_ = nullptr;
  int pumps = 0;
  search_.ProcessMessages = [&pumps] { ++pumps; };
  EXPECT_EQ(Run(u"*.ppt|", true).size(), 5u);
  EXPECT_FALSE(search_.UserStopped());
  EXPECT_GE(pumps, 2 * 9);  // twice per entry
  search_.ProcessMessages = [this] { search_.Stop(); };
  EXPECT_LE(Run(u"*.ppt|", true).size(), 1u);
  EXPECT_TRUE(search_.UserStopped());
}

TEST_F(FileSearchTest, TrailingSeparatorIsOptionalAndMissingFoldersYieldNothing) {
  Files({"s/a.ppt", "b.ppt"});
  std::string noSlash = root_.Path();
  noSlash.pop_back();
  EXPECT_EQ(Sorted(Run(u"*.ppt|", true, PathFromNative(noSlash))), (Names{"b.ppt", "s/a.ppt"}));
  EXPECT_TRUE(Run(u"*.ppt|", true, PathFromNative(root_ / "absent")).empty());
  EXPECT_EQ(folders_, Names{"absent/"});
  EXPECT_EQ(finished_, 1);
}

TEST_F(FileSearchTest, LinksToFoldersAreNotFollowedAndSpecialFilesNotReported) {
  Files({"real/a.ppt", "target.ppt"});
  fs::create_directory_symlink(root_.Path(), root_ / "real/loop");  // would never end
  fs::create_symlink(root_ / "target.ppt", root_ / "link.ppt");
  fs::create_symlink(root_ / "gone.ppt", root_ / "broken.ppt");
  ASSERT_EQ(::mkfifo((root_ / "pipe.ppt").c_str(), 0600), 0);  // opening it would block
  EXPECT_EQ(Sorted(Run(u"*.ppt|", true)), (Names{"link.ppt", "real/a.ppt", "target.ppt"}));
}

TEST_F(FileSearchTest, ReportedDetailsAndNamesThatAreNotUtf8) {
  test::WriteFile(root_ / "caf\xE9.ppt", "12345");
  TFindData seen;
  search_.SearchDir = root_.Wide();
  search_.SearchExts = u"*.ppt|";
  search_.OnFileFind = [&seen](const std::u16string&, const TFindData& info) { seen = info; };
  search_.Execute();
  EXPECT_EQ(PathToNative(seen.Name), "caf\xE9.ppt");
  EXPECT_EQ(seen.Size, 5u);
  EXPECT_TRUE(S_ISREG(seen.Mode));
  EXPECT_GT(seen.LastWriteTime, 0);
  onFind_ = [] { throw std::runtime_error("handler"); };
  EXPECT_THROW(Run(u"*.ppt|", true), std::runtime_error);  // passes through, folders closed
}

}  // namespace
}  // namespace dkscr
