#include "app/session/FolderScan.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "TempDir.h"
#include "app/session/AppState.h"

namespace dkscr {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// Records the walk as paths below the test folder.
class Recorder : public ScanObserver {
 public:
  explicit Recorder(const test::TempDir& root) : root_(root) {}
  void FolderEntered(const std::u16string& folder) override { folders.push_back(Rel(folder)); }
  void FileFound(const FoundFile& file) override {
    EXPECT_TRUE(file.folder.ends_with(u"/") && !file.folder.ends_with(u"//")) << Rel(file.folder);
    files.push_back(Rel(file.Path()));
    last = file;
    if (onFind) onFind();
  }
  bool StopRequested() override {
    ++asked;
    return stopWhenAsked >= 0 && asked > stopWhenAsked;
  }
  std::string Rel(const std::u16string& path) const {
    const std::string native = PathToNative(path);
    return native.substr(std::min(root_.Path().size(), native.size()));
  }

  Names files, folders;
  FoundFile last;
  std::function<void()> onFind;
  int asked = 0;
  int stopWhenAsked = -1;  // stop once asked more than this often

 private:
  const test::TempDir& root_;
};

class FileSearchTest : public ::testing::Test {
 protected:
  void Files(std::initializer_list<const char*> names) {
    for (const char* name : names) {
      fs::create_directories((root_ / name).substr(0, (root_ / name).rfind('/')));
      test::WriteFile(root_ / name, "x");
    }
  }
  // Runs a search and returns the reported files as paths below the test folder.
  Names Run(const std::u16string& exts, bool recurse, std::u16string dir = {}) {
    found_.files.clear(), found_.folders.clear(), found_.asked = 0;
    stopped_ = !FolderScan(exts, recurse).Execute(dir.empty() ? root_.Wide() : dir, found_);
    return found_.files;
  }
  static Names Sorted(Names v) {
    std::sort(v.begin(), v.end());
    return v;
  }

  test::TempDir root_;
  Recorder found_{root_};
  Names& folders_ = found_.folders;
  bool stopped_ = false;
};

TEST_F(FileSearchTest, MasksMatchWholeExtensionsIgnoringCase) {
  Files({"a.ppt", "B.PPT", "c.Pptx", "d.ppt.bak", "e", "f.pp", "g.", "h.PPTM"});
  EXPECT_EQ(Sorted(Run(u"*.PPT|*.pptx|", false)), (Names{"B.PPT", "a.ppt", "c.Pptx"}));
  EXPECT_FALSE(stopped_);
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

TEST_F(FileSearchTest, StopEndsEveryLevelBeforeTheNextEntry) {
  Files({"a/b/c/1.ppt", "a/b/c/2.ppt", "a/3.ppt", "4.ppt", "x/5.ppt"});
  found_.onFind = [this] { found_.stopWhenAsked = found_.asked; };  // at the next question
  EXPECT_EQ(Run(u"*.ppt|", true).size(), 1u);
  EXPECT_TRUE(stopped_);
  found_.onFind = nullptr;
  found_.stopWhenAsked = -1;
  EXPECT_EQ(Run(u"*.ppt|", true).size(), 5u);
  EXPECT_FALSE(stopped_);
  EXPECT_GE(found_.asked, 9);  // before every entry: five files and four folders at least
  found_.stopWhenAsked = 0;
  EXPECT_TRUE(Run(u"*.ppt|", true).empty());
  EXPECT_TRUE(stopped_);
}

TEST_F(FileSearchTest, TrailingSeparatorIsOptionalAndMissingFoldersYieldNothing) {
  Files({"s/a.ppt", "b.ppt"});
  std::string noSlash = root_.Path();
  noSlash.pop_back();
  EXPECT_EQ(Sorted(Run(u"*.ppt|", true, PathFromNative(noSlash))), (Names{"b.ppt", "s/a.ppt"}));
  EXPECT_TRUE(Run(u"*.ppt|", true, PathFromNative(root_ / "absent")).empty());
  EXPECT_EQ(folders_, Names{"absent/"});
  EXPECT_FALSE(stopped_);
}

#ifndef _WIN32  // symbolic links and FIFOs as POSIX systems have them
TEST_F(FileSearchTest, LinksToFoldersAreNotFollowedAndSpecialFilesNotReported) {
  Files({"real/a.ppt", "target.ppt"});
  fs::create_directory_symlink(root_.Path(), root_ / "real/loop");  // would never end
  fs::create_symlink(root_ / "target.ppt", root_ / "link.ppt");
  fs::create_symlink(root_ / "gone.ppt", root_ / "broken.ppt");
  ASSERT_EQ(::mkfifo((root_ / "pipe.ppt").c_str(), 0600), 0);  // opening it would block
  EXPECT_EQ(Sorted(Run(u"*.ppt|", true)), (Names{"link.ppt", "real/a.ppt", "target.ppt"}));
}
#endif

#ifndef _WIN32  // names that are not UTF-8: POSIX file systems only
TEST_F(FileSearchTest, ReportedDetailsAndNamesThatAreNotUtf8) {
  test::WriteFile(root_ / "caf\xE9.ppt", "12345");
  Run(u"*.ppt|", true);
  const FoundFile& seen = found_.last;
  EXPECT_EQ(PathToNative(seen.name), "caf\xE9.ppt");
  EXPECT_EQ(seen.size, 5u);
  EXPECT_TRUE(S_ISREG(seen.mode));
  EXPECT_GT(seen.lastWriteTime, 0);
  found_.onFind = [] { throw std::runtime_error("handler"); };
  EXPECT_THROW(Run(u"*.ppt|", true), std::runtime_error);  // passes through, folders closed
}
#endif

TEST(ScanRequest, MasksOfTheTickedTypesAndFoldersWithoutEmptyPieces) {
  Settings s;
  EXPECT_EQ(BuildScanMasks(s, true, true),
            std::u16string(u"*.ppt|*.pps|*.pot|*.pptx|*.pptm|*.ppsx|*.ppsm|*.potx|*.potm|"));
  EXPECT_EQ(BuildScanMasks(s, false, true), std::u16string(u"*.pptx|*.pptm|*.ppsx|*.ppsm|*.potx|*.potm|"));
  EXPECT_EQ(BuildScanMasks(s, false, false), std::u16string());
  s.userMasks1 = u"*.key;*.odp";
  EXPECT_EQ(BuildScanMasks(s, true, false), std::u16string(u"*.ppt|*.pps|*.pot|*.key|*.odp|"));
  using V = std::vector<std::u16string>;
  EXPECT_EQ(SplitScanFolders(u"/a;/b"), V({u"/a", u"/b"}));
  // Empty pieces name no folder: never a scan of the root.
  EXPECT_EQ(SplitScanFolders(u"/a;;/b;"), V({u"/a", u"/b"}));
  EXPECT_EQ(SplitScanFolders(u";"), V());
  EXPECT_EQ(SplitScanFolders(u""), V());
  EXPECT_EQ(SplitScanFolders(u" ; /c "), V({u" /c "}));
}

}  // namespace
}  // namespace dkscr
