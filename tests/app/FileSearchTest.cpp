#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "TempDir.h"
#include "app/KelFileFind.h"

namespace dkscr {
namespace {

namespace fs = std::filesystem;

class FileSearchTest : public ::testing::Test {
 protected:
  void File(const std::string& relative) {
    const fs::path p = root_ / relative;
    fs::create_directories(p.parent_path());
    test::WriteFile(p.string(), "x");
  }
  void Folder(const std::string& relative) { fs::create_directories(root_ / relative); }

  // Runs a search over the tree and records what it reports, as native relative paths.
  std::vector<std::string> Run(const std::u16string& exts, bool recurse,
                               std::u16string dir = {}) {
    found_.clear();
    folders_.clear();
    finished_ = 0;
    search_.SearchDir = dir.empty() ? PathFromNative(root_.Path()) : dir;
    search_.SearchExts = exts;
    search_.RecurseSubFolders = recurse;
    search_.OnFileFind = [this](const std::u16string& fullpath, const TFindData& info) {
      EXPECT_EQ(fullpath.back(), u'/');
      EXPECT_NE(fullpath.substr(0, fullpath.size() - 1).back(), u'/');
      found_.push_back(PathToNative(fullpath + info.Name).substr(root_.Path().size()));
      if (onFind_) onFind_();
    };
    search_.OnChangeFolder = [this](const std::u16string& fullpath) {
      const std::string native = PathToNative(fullpath);
      folders_.push_back(native.size() >= root_.Path().size() ? native.substr(root_.Path().size())
                                                              : "?" + native);
    };
    search_.OnFinish = [this](TKelFileSearch& sender) {
      EXPECT_EQ(&sender, &search_);
      ++finished_;
    };
    search_.Execute();
    return found_;
  }

  static std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
  }

  test::TempDir root_;
  TKelFileSearch search_;
  std::vector<std::string> found_;
  std::vector<std::string> folders_;
  int finished_ = 0;
  std::function<void()> onFind_;
};

TEST_F(FileSearchTest, MasksMatchWholeExtensionsIgnoringCase) {
  for (const char* name : {"a.ppt", "B.PPT", "c.Pptx", "d.ppt.bak", "e", "f.pp", "g.", "h.PPTM"}) {
    File(name);
  }
  EXPECT_EQ(Sorted(Run(u"*.PPT|*.pptx|", false)),
            (std::vector<std::string>{"B.PPT", "a.ppt", "c.Pptx"}));
  EXPECT_EQ(search_.SearchExts, u"*.PPT|*.PPTX|");  // upper-cased in place
  EXPECT_EQ(finished_, 1);
  EXPECT_TRUE(Run(u"a*.ppt*.p?t|*.pp", false).empty());  // only "*" + ext + "|" can match
  EXPECT_EQ(Run(u"*.pptx|", false), std::vector<std::string>{"c.Pptx"});
}

TEST_F(FileSearchTest, HiddenEntriesAndFoldersAreSkipped) {
  File(".g.ppt");
  File(".hidden/x.ppt");
  File("shown/y.ppt");
  Folder("z.ppt");  // a folder is never reported as a file
  EXPECT_EQ(Sorted(Run(u"*.ppt|", true)), std::vector<std::string>{"shown/y.ppt"});
  EXPECT_EQ(Sorted(folders_), (std::vector<std::string>{"", "shown/", "z.ppt/"}));
}

TEST_F(FileSearchTest, WithoutRecursionSubFoldersAreIgnored) {
  File("top.ppt");
  File("sub/inner.ppt");
  Folder("h.ppt");
  EXPECT_EQ(Run(u"*.ppt|", false), std::vector<std::string>{"top.ppt"});
  EXPECT_EQ(folders_, std::vector<std::string>{""});
}

// Depth first, in the order the file system lists each folder.
void ExpectedWalk(const fs::path& dir, const std::string& rel, std::vector<std::string>& files,
                  std::vector<std::string>& folders) {
  folders.push_back(rel);
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (entry.is_directory()) {
      ExpectedWalk(entry.path(), rel + name + "/", files, folders);
    } else if (name.size() > 4 && name.substr(name.size() - 4) == ".ppt") {
      files.push_back(rel + name);
    }
  }
}

TEST_F(FileSearchTest, SubFoldersAreWalkedBeforeTheNextEntryOfTheirParent) {
  for (const char* name : {"a1.ppt", "a2.ppt", "m/b1.ppt", "m/n/c1.ppt", "m/b2.ppt", "z/d1.ppt",
                           "z3.ppt", "m/n/o/e.ppt"}) {
    File(name);
  }
  std::vector<std::string> files, folders;
  ExpectedWalk(root_.Path(), "", files, folders);
  EXPECT_EQ(Run(u"*.ppt|", true), files);
  EXPECT_EQ(folders_, folders);
  EXPECT_EQ(folders_.front(), "");  // the start folder first
  EXPECT_EQ(files.size(), 8u);
}

TEST_F(FileSearchTest, StopFromAHandlerEndsEveryLevel) {
  File("a/b/c/1.ppt");
  File("a/b/c/2.ppt");
  File("a/3.ppt");
  File("4.ppt");
  File("x/5.ppt");
  onFind_ = [this] { search_.Stop(); };
  EXPECT_EQ(Run(u"*.ppt|", true).size(), 1u);
  EXPECT_EQ(finished_, 1);
  EXPECT_TRUE(search_.UserStopped());
  onFind_ = nullptr;
  EXPECT_EQ(Run(u"*.ppt|", true).size(), 5u);
  EXPECT_FALSE(search_.UserStopped());
}

TEST_F(FileSearchTest, StopFromTheMessagePumpAndPumpingPerEntry) {
  for (int i = 0; i < 10; ++i) File("f" + std::to_string(i) + ".ppt");
  int pumps = 0;
  search_.ProcessMessages = [&pumps] { ++pumps; };
  EXPECT_EQ(Run(u"*.ppt|", false).size(), 10u);
  EXPECT_GE(pumps, 20);  // twice per entry ("." and ".." included)
  search_.ProcessMessages = [this] { search_.Stop(); };
  EXPECT_LE(Run(u"*.ppt|", false).size(), 1u);
  EXPECT_TRUE(search_.UserStopped());
}

TEST_F(FileSearchTest, TrailingSeparatorIsOptional) {
  File("s/a.ppt");
  File("b.ppt");
  std::string noSlash = root_.Path();
  noSlash.pop_back();
  const auto with = Sorted(Run(u"*.ppt|", true, PathFromNative(root_.Path())));
  const auto without = Sorted(Run(u"*.ppt|", true, PathFromNative(noSlash)));
  EXPECT_EQ(with, without);
  EXPECT_EQ(with, (std::vector<std::string>{"b.ppt", "s/a.ppt"}));
}

TEST_F(FileSearchTest, MissingFolderYieldsNothingButStillFinishes) {
  const auto found = Run(u"*.ppt|", true, PathFromNative(root_ / "absent"));
  EXPECT_TRUE(found.empty());
  EXPECT_EQ(folders_, std::vector<std::string>{"absent/"});
  EXPECT_EQ(finished_, 1);
}

TEST_F(FileSearchTest, LinksToFoldersAreNotFollowedAndSpecialFilesNotReported) {
  File("real/a.ppt");
  File("target.ppt");
  fs::create_directory_symlink(root_.Path(), root_ / "real/loop");  // would never end
  fs::create_symlink(root_ / "target.ppt", root_ / "link.ppt");
  fs::create_symlink(root_ / "gone.ppt", root_ / "broken.ppt");
  ASSERT_EQ(::mkfifo((root_ / "pipe.ppt").c_str(), 0600), 0);  // opening it would block
  EXPECT_EQ(Sorted(Run(u"*.ppt|", true)),
            (std::vector<std::string>{"link.ppt", "real/a.ppt", "target.ppt"}));
}

TEST_F(FileSearchTest, NamesThatAreNotUtf8AndReportedDetails) {
  test::WriteFile(root_ / "caf\xE9.ppt", "12345");
  TFindData seen;
  search_.OnFileFind = nullptr;
  search_.SearchDir = PathFromNative(root_.Path());
  search_.SearchExts = u"*.ppt|";
  search_.OnFileFind = [&seen](const std::u16string&, const TFindData& info) { seen = info; };
  search_.Execute();
  EXPECT_EQ(PathToNative(seen.Name), "caf\xE9.ppt");
  EXPECT_EQ(seen.Size, 5u);
  EXPECT_TRUE(S_ISREG(seen.Mode));
  EXPECT_GT(seen.LastWriteTime, 0);
}

TEST_F(FileSearchTest, HandlerExceptionsPassThrough) {
  File("a/b.ppt");
  onFind_ = [] { throw std::runtime_error("handler"); };
  EXPECT_THROW(Run(u"*.ppt|", true), std::runtime_error);
  EXPECT_EQ(finished_, 0);
}

TEST(UpperCase, SimpleMappingKeepsLength) {
  EXPECT_EQ(UpperCaseText(u"*.ppt|*.\u00E4\u00DF\U00010428|"), u"*.PPT|*.\u00C4\u00DF\U00010400|");
}

}  // namespace
}  // namespace dkscr
