#pragma once
// Where the desktop program keeps its files (settings, activity log, job file, help).
#include <string>
#include <string_view>

namespace dkscr {

// Appends "/" unless the path already ends with one.
std::u16string WithTrailingSeparator(std::u16string path);

// A file beside the executable that makes its folder the program's folder (a portable copy).
inline constexpr std::string_view kPortableMarkerName = "Deckscribe.portable";

// What decides the program's folder; every folder ends with "/" or is empty.
struct ProgramDirPlaces {
  std::string homeOverride;   // DECKSCRIBE_HOME
  std::string executableDir;  // the running executable's folder
  std::string configHome;     // $XDG_CONFIG_HOME, or ~/.config/
};

// The folder named by DECKSCRIBE_HOME when set; otherwise the executable's folder for a
// portable copy, one whose folder already holds the settings file "Deckscribe.dat" or the
// marker file; otherwise <configHome>deckscribe/. An installed program never writes beside
// itself (into /usr/bin, or a user's ~/.local/bin), whoever runs it.
std::string ChooseProgramDir(const ProgramDirPlaces& places);

// The program's folder, always ending with "/", from the environment and the executable's
// place (ChooseProgramDir); created when missing.
std::u16string ProgramDir();

// The user's documents folder (the XDG documents folder), ending with "/".
std::u16string DocumentsDir();

// Creates a folder and its missing parents (mode 0777 less the umask). 0 or the errno.
int MakeDirectories(const std::string& nativePath);

}  // namespace dkscr
