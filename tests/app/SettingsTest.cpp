#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <system_error>

#include "TempDir.h"
#include "app/Global.h"
#include "app/ProgramDir.h"

namespace dkscr {
namespace {

constexpr char16_t kDocs[] = u"/home/user/Documents/";

class SettingsTest : public ::testing::Test {
 protected:
  std::string DatPath() const { return dir_ / "Deckscribe.dat"; }
  std::string LogPath() const { return dir_ / "dkscract.log"; }
  TGlobal MakeGlobal() const { return TGlobal(dir_.Wide(), kDocs); }
  TGlobal Loaded(const std::string& datContent) const {
    test::WriteFile(DatPath(), datContent);
    TGlobal g = MakeGlobal();
    g.LoadSettings();
    return g;
  }

  test::TempDir dir_;
};

TEST_F(SettingsTest, FreshStartGivesDefaultsAndWritesAllKeysInOrder) {
  TGlobal g = MakeGlobal();
  g.LoadSettings();
  EXPECT_FALSE(g.Settings.samedir);
  EXPECT_EQ(g.Settings.targetdir, kDocs);
  EXPECT_EQ(g.Settings.adddir, kDocs);
  EXPECT_TRUE(g.Settings.selext1);
  EXPECT_TRUE(g.Settings.selext2);
  EXPECT_EQ(g.SupportMaskList, u"*.ppt;*.pptx;");
  EXPECT_FALSE(std::filesystem::exists(DatPath()));  // reading creates nothing

  g.SaveSettings();
  EXPECT_EQ(test::ReadFile(DatPath()),
            "[general]\r\nsamedir=0\r\ntargetdir=/home/user/Documents/\r\n"
            "adddir=/home/user/Documents/\r\nfileovertp=0\r\nsourcecode=0\r\ntargetcode=0\r\n"
            "userfileext1=\r\nuserfileext2=\r\nselext1=1\r\nselext2=1\r\nrecursive=0\r\n"
            "pagebreak=0\r\ntextorder=0\r\nkeepraw=0\r\nnotlog=0\r\n");
}

TEST_F(SettingsTest, EveryValueSurvivesSaveAndLoad) {
  TGlobal g = MakeGlobal();
  TSettings& s = g.Settings;
  s.samedir = true;
  s.targetdir = u"/srv/Ausgabe/\u00DCbersicht/";
  s.adddir = u"/a;/b c/;/\U0001F600/";
  s.fileovertp = 2;
  s.sourcecode = 65001;
  s.targetcode = -7;
  s.userfileext1 = u"*.pps;*.pot";
  s.userfileext2 = u"*.potx";
  s.selext1 = false;
  s.selext2 = false;
  s.recursive = true;
  s.pagebreak = true;
  s.textorder = 2;
  s.keepraw = 1;
  s.notlog = true;
  g.SaveSettings();
  EXPECT_NE(test::ReadFile(DatPath()).find("targetdir=/srv/Ausgabe/\xC3\x9C" "bersicht/\r\n"),
            std::string::npos);

  TGlobal back = MakeGlobal();
  back.LoadSettings();
  const TSettings& b = back.Settings;
  EXPECT_EQ(b.samedir, s.samedir);
  EXPECT_EQ(b.targetdir, s.targetdir);
  EXPECT_EQ(b.adddir, s.adddir);
  EXPECT_EQ(b.fileovertp, s.fileovertp);
  EXPECT_EQ(b.sourcecode, s.sourcecode);
  EXPECT_EQ(b.targetcode, s.targetcode);
  EXPECT_EQ(b.userfileext1, s.userfileext1);
  EXPECT_EQ(b.userfileext2, s.userfileext2);
  EXPECT_EQ(b.selext1, s.selext1);
  EXPECT_EQ(b.selext2, s.selext2);
  EXPECT_EQ(b.recursive, s.recursive);
  EXPECT_EQ(b.pagebreak, s.pagebreak);
  EXPECT_EQ(b.textorder, s.textorder);
  EXPECT_EQ(b.keepraw, s.keepraw);
  EXPECT_EQ(b.notlog, s.notlog);
  EXPECT_EQ(back.SupportMaskList, u"*.ppt;*.pps;*.pot;*.pptx;*.potx;");
}

TEST_F(SettingsTest, FolderNamesThatAreNotUtf8SurviveAsBytes) {
  TGlobal g = MakeGlobal();
  g.Settings.targetdir = PathFromNative("/data/caf\xE9/");  // a Latin-1 folder name
  g.SaveSettings();
  EXPECT_NE(test::ReadFile(DatPath()).find("targetdir=/data/caf\xE9/\r\n"), std::string::npos);
  TGlobal back = MakeGlobal();
  back.LoadSettings();
  EXPECT_EQ(PathToNative(back.Settings.targetdir), "/data/caf\xE9/");
}

TEST_F(SettingsTest, HexadecimalAndBadValues) {
  TGlobal g = Loaded(
      "[GENERAL]\nFileOverTp = 0x3\nsourcecode=abc\ntargetcode=$10\nselext1=2\nselext2=0\n"
      "samedir=yes\ntextorder=0x\nkeepraw=\"5\"\n");
  EXPECT_EQ(g.Settings.fileovertp, 3);
  EXPECT_EQ(g.Settings.sourcecode, 0);
  EXPECT_EQ(g.Settings.targetcode, 16);
  EXPECT_TRUE(g.Settings.selext1);
  EXPECT_FALSE(g.Settings.selext2);
  EXPECT_FALSE(g.Settings.samedir);
  EXPECT_EQ(g.Settings.textorder, 0);
  EXPECT_EQ(g.Settings.keepraw, 5);
  EXPECT_EQ(Loaded("[general]\nfileovertp=abc\n").Settings.fileovertp, 0);
}

TEST_F(SettingsTest, FileOverTpOutsideAByteGivesTheSafeDefault) {
  EXPECT_EQ(Loaded("[general]\nfileovertp=255\n").Settings.fileovertp, 255);
  EXPECT_EQ(Loaded("[general]\nfileovertp=257\n").Settings.fileovertp, 0);  // not "Overwrite"
  EXPECT_EQ(Loaded("[general]\nfileovertp=-1\n").Settings.fileovertp, 0);
}

TEST_F(SettingsTest, EmptyFolderValueStaysEmptyAndOnlyMissingKeysGetTheDocumentsFolder) {
  TGlobal g = Loaded("[general]\ntargetdir=\n");
  EXPECT_EQ(g.Settings.targetdir, u"");
  EXPECT_EQ(g.Settings.adddir, kDocs);
}

TEST_F(SettingsTest, SavingKeepsOtherSectionsAndLinesAndReplacesKeysInPlace) {
  test::WriteFile(DatPath(), "; mine\n[window]\nleft=10\n[general]\nnotlog=1\nextra=x\n");
  TGlobal g = MakeGlobal();
  g.LoadSettings();
  EXPECT_TRUE(g.Settings.notlog);
  g.Settings.notlog = false;
  g.SaveSettings();
  const std::string text = test::ReadFile(DatPath());
  EXPECT_EQ(text.rfind("; mine\n[window]\nleft=10\n[general]\nnotlog=0\nextra=x\nsamedir=0\n", 0),
            0u)
      << text;
  EXPECT_EQ(text.find("notlog", text.find("notlog") + 1), std::string::npos);  // only once
}

TEST_F(SettingsTest, UnwritableFileReportsItsPathAndKeepsTheOldFile) {
  TGlobal missing(PathFromNative(dir_ / "no/such/"), kDocs);
  try {
    missing.SaveSettings();
    FAIL() << "no error";
  } catch (const TSettingsWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + (dir_ / "no/such/Deckscribe.dat"));
  }

  test::WriteFile(DatPath(), "[general]\nsamedir=1\n");
  {
    TGlobal g = MakeGlobal();
    g.LoadSettings();
    g.Settings.samedir = false;
    test::FileSizeLimit full(40);  // the disk fills up in the middle of the keys
    EXPECT_THROW(g.SaveSettings(), TSettingsWriteError);
  }
  EXPECT_EQ(test::ReadFile(DatPath()), "[general]\nsamedir=1\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path()), {}), 1);

  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  ASSERT_EQ(::chmod(dir_.Path().c_str(), 0555), 0);
  TGlobal g = MakeGlobal();
  g.LoadSettings();
  g.Settings.samedir = false;
  EXPECT_THROW(g.SaveSettings(), TSettingsWriteError);
  ::chmod(dir_.Path().c_str(), 0755);
  EXPECT_EQ(test::ReadFile(DatPath()), "[general]\nsamedir=1\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path()), {}), 1);
}

TEST_F(SettingsTest, MaskListWithUserMasksAndTypeLookup) {
  TGlobal g = MakeGlobal();
  EXPECT_EQ(g.SupportMaskList.size(), 13u);
  g.Settings.userfileext1 = u"*.PPS;*.POT";
  g.RebuildMaskList();
  EXPECT_EQ(g.SupportMaskList, u"*.ppt;*.pps;*.pot;*.pptx;");
  EXPECT_EQ(g.SupportMaskTypes, std::u16string(18, 1) + std::u16string(7, 2));
  EXPECT_EQ(g.FileTypeOfExtension(u".pot"), 1);
  EXPECT_EQ(g.FileTypeOfExtension(u".pptx"), 2);
  EXPECT_EQ(g.FileTypeOfExtension(u".PPTX"), 2);
  EXPECT_EQ(g.FileTypeOfExtension(u".ppt"), 1);
  EXPECT_EQ(g.FileTypeOfExtension(u".pp"), 1);  // occurs inside "*.ppt;"
  EXPECT_EQ(g.FileTypeOfExtension(u".txt"), 0);
  EXPECT_EQ(g.FileTypeOfExtension(u""), 0);

  g.Settings.userfileext1.clear();
  g.Settings.userfileext2 = u"*.\u00C4BC";  // only A to Z are lower-cased
  g.RebuildMaskList();
  EXPECT_EQ(g.SupportMaskList, u"*.ppt;*.pptx;*.\u00C4bc;");
  EXPECT_EQ(g.SupportMaskTypes, std::u16string(6, 1) + std::u16string(13, 2));
  EXPECT_EQ(g.FileTypeOfExtension(u".pt"), 0);
  EXPECT_EQ(g.FileTypeOfExtension(u".\u00C4BC"), 2);
}

class LogTest : public SettingsTest {
 protected:
  TGlobal LogGlobal() const {
    TGlobal g = MakeGlobal();
    g.Clock = [this] { return now_; };
    return g;
  }
  std::tm now_ = [] {
    std::tm t{};
    t.tm_year = 110;
    t.tm_mon = 4;
    t.tm_mday = 3;
    t.tm_hour = 14;
    t.tm_min = 22;
    t.tm_sec = 10;
    return t;
  }();
};

std::string Utf16Le(std::u16string_view text) {
  std::string out;
  for (char16_t u : text) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>(u >> 8));
  }
  return out;
}

// The test program keeps the C locale: "%m/%d/%y" and "%H:%M:%S".
TEST_F(LogTest, FirstEntryCreatesTheFileWithByteOrderMarkLaterOnesAppend) {
  TGlobal g = LogGlobal();
  g.WriteLog(u"Conversion start...");
  const std::string first = "\xFF\xFE" + Utf16Le(u"[05/03/10 14:22:10]: Conversion start...\r\n");
  EXPECT_EQ(test::ReadFile(LogPath()), first);

  now_.tm_hour = now_.tm_min = now_.tm_sec = 0;  // midnight: date only
  g.WriteLog(u"Conversion end. Successful: 1, Failed: 0, Total: 1\r\n");
  EXPECT_EQ(test::ReadFile(LogPath()),
            first + Utf16Le(u"[05/03/10]: Conversion end. Successful: 1, Failed: 0, Total: 1"
                            u"\r\n\r\n"));
}

TEST_F(LogTest, AppendsExactlyItsBytesWhateverTheFileHolds) {
  test::WriteFile(LogPath(), "odd");
  TGlobal g = LogGlobal();
  g.WriteLog(u"\u00DC\U0001F600");
  EXPECT_EQ(test::ReadFile(LogPath()), "odd" + Utf16Le(u"[05/03/10 14:22:10]: \u00DC\U0001F600\r\n"));
}

TEST_F(LogTest, NotlogWritesNothing) {
  TGlobal g = LogGlobal();
  g.Settings.notlog = true;
  g.WriteLog(u"x");
  EXPECT_FALSE(std::filesystem::exists(LogPath()));
  test::WriteFile(LogPath(), "keep");
  g.WriteLog(u"x");
  EXPECT_EQ(test::ReadFile(LogPath()), "keep");
}

TEST_F(LogTest, UnwritableLogRaisesWithTheErrorCode) {
  TGlobal g(PathFromNative(dir_ / "missing/"), kDocs);
  try {
    g.WriteLog(u"x");
    FAIL() << "no error";
  } catch (const std::system_error& e) {
    EXPECT_EQ(e.code().value(), ENOENT);
    EXPECT_NE(std::string(e.what()).find("dkscract.log"), std::string::npos);
  }
}

TEST(ProgramDirTest, EnvironmentVariableNamesTheFolderAndItIsCreated) {
  test::TempDir dir;
  const char* old = std::getenv("DECKSCRIBE_HOME");
  const std::string saved = old != nullptr ? old : "";
  ::setenv("DECKSCRIBE_HOME", (dir / "deck home/sub").c_str(), 1);
  EXPECT_EQ(ProgramDir(), PathFromNative(dir / "deck home/sub/"));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "deck home/sub"));
  ::setenv("DECKSCRIBE_HOME", dir.Path().c_str(), 1);
  EXPECT_EQ(ProgramDir(), dir.Wide());  // one trailing separator, not two
  if (old != nullptr) {
    ::setenv("DECKSCRIBE_HOME", saved.c_str(), 1);
  } else {
    ::unsetenv("DECKSCRIBE_HOME");
    EXPECT_EQ(ProgramDir().back(), u'/');
  }
  EXPECT_EQ(DocumentsDir().back(), u'/');
}

}  // namespace
}  // namespace dkscr
