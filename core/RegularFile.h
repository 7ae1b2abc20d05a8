#pragma once
// Opening an input file without ever blocking on it: only regular files are read. A FIFO
// would wait for a writer, a terminal or tape device may act on being opened, so anything
// else is refused before a blocking open can happen.
#include <cstdint>
#include <string>

namespace dkscr {

enum class PathKind { kMissing, kDirectory, kRegular, kSpecial };

// What the path names now (symbolic links followed). kMissing when it cannot be examined.
PathKind KindOfPath(const std::string& nativePath);

// A read-only descriptor of the regular file at the path, with its size; or -1 with errno
// set: the open's own error, EISDIR for a folder, EINVAL for any other file that is not
// regular.
int OpenRegularFileForReading(const std::string& nativePath, uint64_t& size);

}  // namespace dkscr
