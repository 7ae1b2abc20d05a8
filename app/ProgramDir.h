#pragma once
// Where the desktop program keeps its files (settings, activity log, job file, help).
#include <string>

namespace dkscr {

// Appends "/" unless the path already ends with one.
std::u16string WithTrailingSeparator(std::u16string path);

// The program's folder, always ending with "/": the folder named by DECKSCRIBE_HOME when that
// is set (created when missing); otherwise the executable's folder when it is writable; otherwise
// $XDG_CONFIG_HOME/deckscribe/ (~/.config/deckscribe/ by default), created when missing.
std::u16string ProgramDir();

// The user's documents folder (the XDG documents folder), ending with "/".
std::u16string DocumentsDir();

// Creates a folder and its missing parents (mode 0777 less the umask). 0 or the errno.
int MakeDirectories(const std::string& nativePath);

}  // namespace dkscr
