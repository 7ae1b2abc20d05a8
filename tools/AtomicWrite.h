#pragma once
// Writing a whole file so that the name never shows a partial text: the bytes go to a new
// file beside the destination, which takes the destination's name only once it is complete.
// A replaced file stays intact until then and is untouched when anything fails; without
// permission to replace, a file that appears under the name meanwhile is never replaced.
#include <string>
#include <string_view>

namespace dkscr {

enum class AtomicWriteResult {
  kWritten,
  kExists,        // the destination exists and replacing was not allowed
  kCreateFailed,  // it cannot be created, is a folder, or is the protected file
  kWriteFailed,   // writing the bytes failed (a full disk); nothing changed at the name
};

struct AtomicWriteOptions {
  bool replaceExisting = false;
  // An existing device or FIFO (/dev/null, a named pipe) is written into where it is;
  // otherwise such a destination cannot be created.
  bool writeSpecialInPlace = false;
  // Missing folders of the destination are made first.
  bool makeFolders = false;
  // A file that must never be replaced, however the destination names it (a link, another
  // spelling): the source of the text. Empty for none.
  std::string protectedPath;
  // A folder the destination lies below, in which no symbolic link is followed: one found on
  // the way from it to the destination, or as the destination, fails as a create error (others
  // can plant links in an output folder). Empty for none.
  std::string confineTo;
};

// `path` is native. Symbolic links are followed: the file they lead to is replaced and the
// links stay. A replaced file keeps its permission bits; a new one gets 0666 less the umask.
// On Windows (AtomicWriteWin.cpp) the rename is MoveFileExW: a link named as the destination
// is itself replaced, a read-only file is refused, a new file gets the folder's permissions.
AtomicWriteResult WriteFileAtomically(const std::string& path, std::string_view bytes,
                                      const AtomicWriteOptions& options);

// Every byte to a descriptor, through short writes and interruptions; false on failure.
bool WriteAllBytes(int fd, std::string_view bytes);

}  // namespace dkscr
