#pragma once
// Where the desktop program keeps its files (settings, activity log, job file, help).
#include <string>
#include <string_view>

namespace dkscr {

// Appends "/" unless the path already ends with one.
std::u16string WithTrailingSeparator(std::u16string path);

// A file beside the executable that makes its folder the program's folder (a portable copy).
inline constexpr std::string_view kPortableMarkerName = "Deckscribe.portable";

// The program's own folder in the user's configuration folder: as the desktop names its
// programs' folders (~/.config/deckscribe, %APPDATA%\Deckscribe).
#ifdef _WIN32
inline constexpr std::string_view kUserFolderName = "Deckscribe";
#else
inline constexpr std::string_view kUserFolderName = "deckscribe";
#endif

// What decides the program's folder (native paths; Windows ones may hold backslashes).
struct ProgramDirPlaces {
  std::string homeOverride;   // DECKSCRIBE_HOME
  std::string executableDir;  // the running executable's folder
  std::string configHome;     // $XDG_CONFIG_HOME or ~/.config; %APPDATA% on Windows
};

// The folder named by DECKSCRIBE_HOME when set; otherwise the executable's folder for a
// portable copy, one whose folder already holds the settings file "Deckscribe.dat" or the
// marker file; otherwise <configHome>/<kUserFolderName>/. An installed program never writes
// beside itself (into /usr/bin, C:\Program Files, a user's ~/.local/bin), whoever runs it.
// The result ends with "/"; on Windows its backslashes have become "/".
std::string ChooseProgramDir(const ProgramDirPlaces& places);

// The program's folder, always ending with "/", from the environment and the executable's
// place (ChooseProgramDir); created when missing.
std::u16string ProgramDir();

// The user's documents folder (the XDG documents folder; Documents on Windows), ending with "/".
std::u16string DocumentsDir();

// 0 when the folder takes new files (one is made and removed again), else the errno: a
// read-only file system, a folder without permission, a missing folder.
int FolderWriteError(const std::string& nativeFolder);

// Creates a folder and its missing parents (mode 0777 less the umask). 0 or the errno.
// Parents that exist are passed over, drive roots ("C:") and shares among them.
int MakeDirectories(const std::string& nativePath);

}  // namespace dkscr
