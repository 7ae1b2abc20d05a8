#pragma once
// A scratch folder per test and helpers to put archives into it.
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/NativePath.h"
#include "tests/support/ZipWriter.h"

namespace dkscr::test {

class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "dkscr-zip-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  std::string File(const std::string& name) const { return (path_ / name).string(); }
  // Writes the bytes and returns the path as the reader takes it.
  std::u16string Put(const std::string& name, std::string_view bytes) const {
    WriteFileBytes(File(name), bytes);
    return PathFromNative(File(name));
  }

 private:
  std::filesystem::path path_;
};

// Sets a file's last-write time (seconds since the epoch).
inline void SetMtime(const std::string& path, time_t seconds) {
  struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
  if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) throw std::runtime_error("utimensat");
}

}  // namespace dkscr::test
