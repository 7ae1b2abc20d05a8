#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it, and a
// writer of whole files.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/NativePath.h"

namespace dkscr::test {

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
