#pragma once
// Scratch folders, the ZIP writer, and a file's last-write time for the reader's cache.
#include <fcntl.h>
#include <sys/stat.h>

#include <stdexcept>
#include <string>

#include "tests/support/ScratchDir.h"
#include "tests/support/ZipWriter.h"

namespace dkscr::test {

// Sets a file's last-write time (seconds since the epoch).
inline void SetMtime(const std::string& path, time_t seconds) {
  struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
  if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) throw std::runtime_error("utimensat");
}

}  // namespace dkscr::test
