#pragma once
// Opening an input file without ever blocking on it: only regular files are read. A FIFO
// would wait for a writer, a terminal or tape device may act on being opened, so anything
// else is refused before a blocking open can happen. The one place that asks the system about
// files (RegularFile.cpp for POSIX, RegularFileWin.cpp for Windows, where a native path is
// UTF-8 and opened as UTF-16).
#include <cstddef>
#include <cstdint>
#include <string>

namespace dkscr {

enum class PathKind { kMissing, kDirectory, kRegular, kSpecial };

// What a file is now: its kind, size, last-write time and identity (device and inode; the
// volume serial number and file index on Windows).
struct FileStatus {
  PathKind kind = PathKind::kMissing;
  uint64_t size = 0;
  int64_t mtimeSec = 0;
  int64_t mtimeNsec = 0;
  uint64_t device = 0;
  uint64_t inode = 0;
};

// The status of what the path names (symbolic links followed); kind kMissing when it cannot
// be examined.
FileStatus StatusOfPath(const std::string& nativePath);
inline PathKind KindOfPath(const std::string& nativePath) { return StatusOfPath(nativePath).kind; }

// A read-only descriptor of the regular file at the path, with its size; or -1 with errno
// set: the open's own error, EISDIR for a folder, EINVAL for any other file that is not
// regular.
int OpenRegularFileForReading(const std::string& nativePath, uint64_t& size);

// The status of an open descriptor; all zero when it cannot be had.
FileStatus StatusOfOpenFile(int fd);

// Up to `count` bytes at `position` without moving the descriptor's offset; fewer at the end
// or on a read error.
size_t ReadFileAt(int fd, uint64_t position, void* buffer, size_t count);

}  // namespace dkscr
