#pragma once
// Scratch folders, the ZIP writer, a file's last-write time for the reader's cache, and a
// fixture holding one reader over an archive written to a scratch folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <stdexcept>
#include <string>
#include <string_view>

#include "openxml/KelUnZip.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/ZipWriter.h"

namespace dkscr::test {

// Sets a file's last-write time (seconds since the epoch).
inline void SetMtime(const std::string& path, time_t seconds) {
  struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
  if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) throw std::runtime_error("utimensat");
}

// Writes the bytes as an archive, loads its directory and extracts entries by name.
class ArchiveFixture : public ::testing::Test {
 protected:
  void Open(std::string_view bytes, const std::string& name = "t.zip") {
    zip_.SetZipName(dir_.Put(name, bytes));
    zip_.LoadDirectory();
  }
  int Extract(std::string_view name) {
    stream_.clear();
    return zip_.ExtractToStream(stream_, name);
  }

  ScratchDir dir_;
  ZipReader zip_;
  std::string stream_;
};

}  // namespace dkscr::test
