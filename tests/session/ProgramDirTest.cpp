#include "app/session/ProgramDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "TempDir.h"

namespace dkscr {
namespace {

TEST(ProgramDir, OnlyAPortableCopyWritesBesideItself) {
  test::TempDir dir;
  const std::string bin = dir / "bin/";
  const std::string config = dir / "config";
  std::filesystem::create_directories(bin);
  ProgramDirPlaces places{"", bin, config};
  const std::string user = config + "/" + std::string(kUserFolderName) + "/";
  // An installed program in a folder it may write to (root in /usr/bin, ~/.local/bin).
  EXPECT_EQ(ChooseProgramDir(places), user);
  // A folder of the settings file's name is no settings file.
  std::filesystem::create_directories(bin + "Deckscribe.dat");
  EXPECT_EQ(ChooseProgramDir(places), user);
  std::filesystem::remove(bin + "Deckscribe.dat");
  // A portable copy: the settings file beside it, or the marker.
  test::WriteFile(bin + "Deckscribe.portable", "");
  EXPECT_EQ(ChooseProgramDir(places), bin);
  std::filesystem::remove(bin + "Deckscribe.portable");
  test::WriteFile(bin + "Deckscribe.dat", "[general]\n");
  EXPECT_EQ(ChooseProgramDir(places), bin);
  places.executableDir = dir / "bin";  // without its slash
  EXPECT_EQ(ChooseProgramDir(places), bin);
  // DECKSCRIBE_HOME comes first.
  places.homeOverride = dir / "home";
  EXPECT_EQ(ChooseProgramDir(places), dir / "home/");
  // Unknown executable folder.
  EXPECT_EQ(ChooseProgramDir({"", "", "/c/"}), "/c/" + std::string(kUserFolderName) + "/");
#ifdef _WIN32
  // %APPDATA% as Windows spells it: "/" between folders, as Qt shows paths.
  EXPECT_EQ(ChooseProgramDir({"", "", "C:\\Users\\ann\\AppData\\Roaming"}),
            "C:/Users/ann/AppData/Roaming/Deckscribe/");
#else
  EXPECT_EQ(kUserFolderName, "deckscribe");
#endif
}

TEST(ProgramDir, MakesMissingFoldersAndRefusesAFileInTheWay) {
  test::TempDir dir;
  EXPECT_EQ(MakeDirectories(dir / "a/b/c"), 0);
  EXPECT_TRUE(std::filesystem::is_directory(dir / "a/b/c"));
  EXPECT_EQ(MakeDirectories(dir / "a/b/c/"), 0);  // again, and with its slash
  test::WriteFile(dir / "file", "x");
  EXPECT_EQ(MakeDirectories(dir / "file"), ENOTDIR);
  EXPECT_NE(MakeDirectories(dir / "file/below"), 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "file/below"));
}

}  // namespace
}  // namespace dkscr
