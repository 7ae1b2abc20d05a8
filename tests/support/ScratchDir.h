#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it, and a
// writer and readers of whole files.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/NativePath.h"

namespace dkscr::test {

// The whole content of a file read from a descriptor, from the start.
inline std::string ReadAll(int fd) {
  std::string out;
  char chunk[65536];
  for (off_t at = 0;;) {
    const ssize_t got = ::pread(fd, chunk, sizeof chunk, at);
    if (got <= 0) break;
    out.append(chunk, static_cast<size_t>(got));
    at += got;
  }
  return out;
}

inline std::string ReadFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return "<missing>";
  std::string out = ReadAll(fd);
  ::close(fd);
  return out;
}

inline void WriteFileBytes(const std::string& path, std::string_view bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path);
}

class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "dkscr-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  // A path inside the folder, as native bytes.
  std::string Path(const std::string& name) const { return path_ + "/" + name; }
  // Writes the bytes into a file of that name: its native path, or as the converters take it.
  std::string Write(const std::string& name, std::string_view bytes) const {
    WriteFileBytes(Path(name), bytes);
    return Path(name);
  }
  std::u16string Put(const std::string& name, std::string_view bytes) const {
    return PathFromNative(Write(name, bytes));
  }

 private:
  std::string path_;
};

}  // namespace dkscr::test
