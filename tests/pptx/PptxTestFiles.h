#pragma once
// Scratch files for converter tests: a fresh folder per test, removed afterwards.
#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "../support/ZipWriter.h"
#include "core/NativePath.h"

namespace dkscr::test {

class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "dkscr-pptx-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  // Writes the bytes into a file of that name and returns its path as the converters take it.
  std::u16string File(const std::string& name, std::string_view bytes) const {
    const std::string path = (path_ / name).string();
    WriteFileBytes(path, bytes);
    return PathFromNative(path);
  }
  std::u16string Path(const std::string& name) const { return PathFromNative((path_ / name).string()); }
  const std::filesystem::path& Dir() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace dkscr::test
