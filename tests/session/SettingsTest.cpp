#include <gtest/gtest.h>

#include <QString>

#include <cstdlib>
#include <system_error>

#include "TempDir.h"
#include "app/session/ActivityLog.h"
#include "app/session/AppState.h"
#include "app/session/ProgramDir.h"

namespace dkscr {
namespace {

constexpr char16_t kDocs[] = u"/home/user/Documents/";

class SettingsTest : public ::testing::Test {
 protected:
  std::string DatPath() const { return dir_ / "Deckscribe.dat"; }
  std::string LogPath() const { return dir_ / "dkscract.log"; }
  AppState Loaded(const std::string& datContent = {}) const {
    if (!datContent.empty()) test::WriteFile(DatPath(), datContent);
    AppState g(dir_.Wide(), kDocs);
    g.LoadSettings();
    return g;
  }
  size_t FilesInDir() const {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir_.Path()), {}));
  }

  test::TempDir dir_;
};

TEST_F(SettingsTest, FreshStartGivesDefaultsAndWritesAllKeysInOrder) {
  AppState g = Loaded();
  Settings expected;
  expected.targetDir = expected.scanFolders = kDocs;
  EXPECT_EQ(g.settings, expected);
  EXPECT_EQ(g.supportMaskList, u"*.ppt;*.pps;*.pot;*.pptx;*.pptm;*.ppsx;*.ppsm;*.potx;*.potm;");
  EXPECT_EQ(FilesInDir(), 0u);  // reading creates nothing
  g.SaveSettings();
  EXPECT_EQ(test::ReadFile(DatPath()),
            "[general]\r\nsamedir=0\r\ntargetdir=/home/user/Documents/\r\n"
            "adddir=/home/user/Documents/\r\nfileovertp=0\r\nsourcecode=0\r\ntargetcode=0\r\n"
            "userfileext1=\r\nuserfileext2=\r\nselext1=1\r\nselext2=1\r\nrecursive=0\r\n"
            "pagebreak=0\r\ntextorder=0\r\nkeepraw=0\r\nnotlog=0\r\ntextform=0\r\n");
}

TEST_F(SettingsTest, EveryValueSurvivesSaveAndLoad) {
  AppState g(dir_.Wide(), kDocs);
  g.settings = {true, u"/srv/Ausgabe/\u00DCbersicht/", u"/a;/b c/;/\U0001F600/", 2, 65001, -7,
                u"*.pps;*.pot", u"*.potx", false, false, true, true, 2, 1, true, kTextFormMarkdown};
  g.SaveSettings();
  EXPECT_NE(test::ReadFile(DatPath()).find("targetdir=/srv/Ausgabe/\xC3\x9C" "bersicht/\r\n"),
            std::string::npos);
  const AppState back = Loaded();
  EXPECT_EQ(back.settings, g.settings);
  EXPECT_EQ(back.supportMaskList, u"*.ppt;*.pps;*.pot;*.pptx;*.pptm;*.ppsx;*.ppsm;*.potx;*.potm;");  // rebuilt on load; the family had them
}

#ifndef _WIN32  // names that are not UTF-8: POSIX file systems only
TEST_F(SettingsTest, FolderNamesThatAreNotUtf8SurviveAsBytes) {
  AppState g(dir_.Wide(), kDocs);
  g.settings.targetDir = PathFromNative("/data/caf\xE9/");
  g.SaveSettings();
  EXPECT_NE(test::ReadFile(DatPath()).find("targetdir=/data/caf\xE9/\r\n"), std::string::npos);
  EXPECT_EQ(Loaded().settings.targetDir, g.settings.targetDir);
}
#endif

TEST_F(SettingsTest, HexadecimalBadAndOutOfRangeValues) {
  const Settings s = Loaded("[GENERAL]\nFileOverTp = 0x3\nsourcecode=abc\ntargetcode=$10\n"
                             "selext1=2\nselext2=0\nsamedir=yes\nkeepraw=\"5\"\ntargetdir=\n")
                          .settings;
  EXPECT_EQ(s.overwritePolicy, 3);
  EXPECT_EQ(s.codePage, 0);
  EXPECT_EQ(s.targetCodePage, 16);
  EXPECT_TRUE(s.scanType1);
  EXPECT_FALSE(s.scanType2);
  EXPECT_FALSE(s.targetBesideSource);
  EXPECT_EQ(s.keepRaw, 5);
  EXPECT_EQ(s.targetDir, u"");  // present but empty stays empty
  EXPECT_EQ(s.scanFolders, kDocs);
  EXPECT_EQ(Loaded("[general]\nfileovertp=abc\n").settings.overwritePolicy, 0);
  EXPECT_EQ(Loaded("[general]\nfileovertp=255\n").settings.overwritePolicy, 255);
  // Beyond a byte would wrap into another policy (257 into "Overwrite"): the default instead.
  EXPECT_EQ(Loaded("[general]\nfileovertp=257\n").settings.overwritePolicy, 0);
  EXPECT_EQ(Loaded("[general]\nfileovertp=-1\n").settings.overwritePolicy, 0);
  // The text form: absent means the slides' text; a value of no form gives it too.
  EXPECT_EQ(Loaded("[general]\ntextform=1\n").settings.textForm, kTextFormComplete);
  EXPECT_EQ(Loaded("[general]\ntextform=3\n").settings.textForm, kTextFormJson);
  EXPECT_EQ(Loaded("[general]\ntextform=4\n").settings.textForm, kTextFormSlides);
  EXPECT_EQ(Loaded("[general]\ntextform=-1\n").settings.textForm, kTextFormSlides);
}

TEST_F(SettingsTest, SavingKeepsOtherSectionsAndLinesAndReplacesKeysInPlace) {
  AppState g = Loaded("; mine\n[window]\nleft=10\n[general]\nnotlog=1\nextra=x\n");
  EXPECT_TRUE(g.settings.noLog);
  g.settings.noLog = false;
  g.SaveSettings();
  const std::string text = test::ReadFile(DatPath());
  EXPECT_EQ(text.rfind("; mine\n[window]\nleft=10\n[general]\nnotlog=0\nextra=x\nsamedir=0\n", 0),
            0u);
  EXPECT_EQ(text.find("notlog", text.find("notlog") + 1), std::string::npos);
}

TEST_F(SettingsTest, WindowPlacementHasItsOwnSectionAndOnlyOnceKnown) {
  AppState g = Loaded("[general]\nnotlog=1\n");
  EXPECT_FALSE(g.windowPlacement.known);
  g.SaveSettings();
  EXPECT_EQ(test::ReadFile(DatPath()).find("mainwindow"), std::string::npos);
  g.windowPlacement = {true, -5, 40, 900, 600, true, {40, 333, 300, 62, 40, 300, 90}, 3, false, 120};
  g.SaveSettings();
  const std::string text = test::ReadFile(DatPath());
  // A new section at the end, in the file's own line ends; the columns and the sort order too.
  EXPECT_NE(text.find("textform=0\n[mainwindow]\nleft=-5\ntop=40\nwidth=900\nheight=600\n"
                      "maximized=1\ncolumns=40,333,300,62,40,300,90\nsortcolumn=3\n"
                      "sortascending=0\npreview=120\n"),
            std::string::npos);
  AppState again(dir_.Wide(), kDocs);
  again.LoadSettings();
  EXPECT_EQ(again.windowPlacement, g.windowPlacement);
  EXPECT_EQ(again.settings, g.settings);
  EXPECT_FALSE(Loaded("[mainwindow]\nleft=1\ntop=2\nwidth=0\nheight=5\n").windowPlacement.known);
  // A damaged column list gives the default widths, not some of them.
  for (const char* columns : {"40,x,300", "40,,300", "40,-3", "40,300,"})
    EXPECT_TRUE(Loaded(std::string("[mainwindow]\ncolumns=") + columns + "\n").windowPlacement.columnWidths.empty())
        << columns;
  EXPECT_EQ(Loaded("[mainwindow]\n").windowPlacement.sortColumn, -1);
}

#ifndef _WIN32  // a full disk through the file-size limit
TEST_F(SettingsTest, FailedSaveReportsThePathAndKeepsTheOldFile) {
  AppState missing(PathFromNative(dir_ / "no/such/"), kDocs);
  try {
    missing.SaveSettings();
    FAIL() << "no error";
  } catch (const SettingsWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + (dir_ / "no/such/Deckscribe.dat"));
  }
  AppState g = Loaded("[general]\nsamedir=1\n");
  g.settings.targetBesideSource = false;
  {
    test::FileSizeLimit full(40);  // the disk fills up in the middle of the keys
    EXPECT_THROW(g.SaveSettings(), SettingsWriteError);
  }
  EXPECT_EQ(test::ReadFile(DatPath()), "[general]\nsamedir=1\n");
  EXPECT_EQ(FilesInDir(), 1u);  // no temporary file left behind
}
#endif

// The whole family of each type, matched as whole extensions; the user's masks of the form
// "*.ext" add to a type, other masks match nothing.
TEST_F(SettingsTest, MaskListWithUserMasksAndTypeLookup) {
  AppState g(dir_.Wide(), kDocs);
  const std::pair<std::u16string_view, int> family[] = {
      {u".ppt", 1},  {u".PPS", 1},  {u".pot", 1},  {u".pptx", 2}, {u".PPTX", 2},
      {u".pptm", 2}, {u".ppsx", 2}, {u".ppsm", 2}, {u".potx", 2}, {u".Potm", 2},
      {u".pp", 0},   {u".p", 0},    {u".pt", 0},   {u".pptxx", 0}, {u".txt", 0},
      {u"", 0},      {u".", 0},     {u"ppt", 0},   {u".ppt;", 0}, {u".ppt.bak", 0}};
  for (const auto& [ext, type] : family)
    EXPECT_EQ(g.FileTypeOfExtension(ext), type) << QString::fromStdU16String(std::u16string(ext)).toStdString();

  g.settings.userMasks1 = u"*.KEY; *.odp ;a*.doc;*.p?t";
  g.settings.userMasks2 = u"*.\u00C4BC";  // only A to Z are lower-cased
  g.RebuildMaskList();
  EXPECT_EQ(g.supportMaskList, u"*.ppt;*.pps;*.pot;*.key; *.odp ;a*.doc;*.p?t;*.pptx;*.pptm;*.ppsx;*.ppsm;*.potx;*.potm;*.\u00C4bc;");
  const std::pair<std::u16string_view, int> user[] = {
      {u".key", 1}, {u".ODP", 1}, {u".\u00C4bc", 2}, {u".\u00E4bc", 0}, {u".doc", 0},
      {u".pot", 1}, {u".ke", 0}};
  for (const auto& [ext, type] : user)
    EXPECT_EQ(g.FileTypeOfExtension(ext), type) << QString::fromStdU16String(std::u16string(ext)).toStdString();
}

std::string Utf16Le(std::u16string_view text) {
  std::string out;
  for (char16_t u : text) out += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
  return out;
}

class LogTest : public SettingsTest {
 protected:
  LogTest() { g_.clock = [this] { return now_; }; }
  AppState g_{dir_.Wide(), kDocs};
  std::tm now_ = [] {
    std::tm t{};
    t.tm_year = 110, t.tm_mon = 4, t.tm_mday = 3, t.tm_hour = 14, t.tm_min = 22, t.tm_sec = 10;
    return t;
  }();
  // The stamp of now_: the C locale's "%m/%d/%y %H:%M:%S", which the test program keeps; on
  // Windows the user's own date and time settings, which a test cannot choose.
#ifdef _WIN32
  const std::u16string stamp_ = FormatLogTimeStamp(now_);
#else
  const std::u16string stamp_ = u"05/03/10 14:22:10";
#endif
};

TEST_F(LogTest, FirstEntryCreatesTheFileWithByteOrderMarkLaterOnesAppend) {
  g_.WriteLog(u"Conversion start...");
  const std::string first = "\xFF\xFE" + Utf16Le(u"[" + stamp_ + u"]: Conversion start...\r\n");
  EXPECT_EQ(test::ReadFile(LogPath()), first);
  now_.tm_hour = now_.tm_min = now_.tm_sec = 0;  // exactly midnight: the date only
  const std::u16string date = stamp_.substr(0, stamp_.find(u' '));
  g_.WriteLog(u"Conversion end. Successful: 1, Failed: 0, Total: 1\r\n");
  EXPECT_EQ(test::ReadFile(LogPath()),
            first + Utf16Le(u"[" + date + u"]: Conversion end. Successful: 1, Failed: 0, Total: 1"
                            u"\r\n\r\n"));
#ifndef _WIN32
  now_.tm_sec = 1;
  EXPECT_EQ(FormatLogTimeStamp(now_), u"05/03/10 00:00:01");
#endif
}

TEST_F(LogTest, AppendsExactlyItsBytesWhateverTheFileHolds) {
  test::WriteFile(LogPath(), "odd");
  g_.WriteLog(u"\u00DC\U0001F600");
  EXPECT_EQ(test::ReadFile(LogPath()), "odd" + Utf16Le(u"[" + stamp_ + u"]: \u00DC\U0001F600\r\n"));
}

TEST_F(LogTest, LoneSurrogatesBecomeValidText) {
  // A file name with the byte E9 (not UTF-8), a lone high and a lone low surrogate, a pair.
  const std::u16string name = std::u16string(u"/d/caf") + char16_t{0xDCE9} + u".ppt";
  g_.WriteLog(u"Add file failed: already added (" + name + u")");
  EXPECT_EQ(test::ReadFile(LogPath()),
            "\xFF\xFE" + Utf16Le(u"[" + stamp_ + u"]: Add file failed: already added "
                                  u"(/d/caf\\xE9.ppt)\r\n"));
  const std::u16string odd = {0xD800, u'a', 0xDFFF, 0xDC7F, 0xD83D, 0xDE00, 0xD800};
  EXPECT_EQ(ValidLogText(odd), u"\uFFFDa\uFFFD\uFFFD\U0001F600\uFFFD");
}

TEST_F(LogTest, NotlogWritesNothing) {
  g_.settings.noLog = true;
  g_.WriteLog(u"x");
  EXPECT_EQ(FilesInDir(), 0u);
  test::WriteFile(LogPath(), "keep");
  g_.WriteLog(u"x");
  EXPECT_EQ(test::ReadFile(LogPath()), "keep");
}

TEST_F(LogTest, UnwritableLogRaisesWithTheErrorCode) {
  AppState g(PathFromNative(dir_ / "missing/"), kDocs);
  try {
    g.WriteLog(u"x");
    FAIL() << "no error";
  } catch (const std::system_error& e) {
    EXPECT_EQ(e.code().value(), ENOENT);
    EXPECT_NE(std::string(e.what()).find("dkscract.log"), std::string::npos);
  }
  std::filesystem::create_directory(LogPath());  // a folder in place of the log
  EXPECT_THROW(g_.WriteLog(u"x"), std::system_error);
}

// DECKSCRIBE_HOME set to a native path (through the UTF-16 environment on Windows), or removed.
void SetHome(const std::string* native) {
#ifdef _WIN32
  const std::u16string wide = native != nullptr ? PathFromNative(*native) : u"";
  ::_wputenv_s(L"DECKSCRIBE_HOME", std::wstring(wide.begin(), wide.end()).c_str());
#else
  native != nullptr ? ::setenv("DECKSCRIBE_HOME", native->c_str(), 1) : ::unsetenv("DECKSCRIBE_HOME");
#endif
}

TEST(ProgramDirTest, EnvironmentVariableNamesTheFolderAndItIsCreated) {
  test::TempDir dir;
  const char* old = std::getenv("DECKSCRIBE_HOME");
  const std::string saved = old != nullptr ? old : "";
  const std::string home = dir / "deck home/s\xC3\xBC" "b";
  SetHome(&home);
  EXPECT_EQ(ProgramDir(), PathFromNative(home + "/"));
  EXPECT_TRUE(std::filesystem::is_directory(test::FsPath(home)));
  SetHome(&dir.Path());
  EXPECT_EQ(ProgramDir(), dir.Wide());  // one trailing separator, not two
  SetHome(old != nullptr ? &saved : nullptr);
  EXPECT_EQ(DocumentsDir().back(), u'/');
}

}  // namespace
}  // namespace dkscr
