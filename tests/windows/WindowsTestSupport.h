#pragma once
// A scratch folder for the Windows tests, reached by UTF-16 names, and whole-file helpers.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "platform/NativePath.h"

namespace dkscr::test {

inline std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

class WideScratchDir {
 public:
  WideScratchDir() {
    path_ = std::filesystem::temp_directory_path() /
            (L"dkscr-win-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++count_));
    std::filesystem::create_directories(path_);
  }
  ~WideScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  WideScratchDir(const WideScratchDir&) = delete;
  WideScratchDir& operator=(const WideScratchDir&) = delete;

  std::filesystem::path Path(std::u16string_view name) const { return path_ / Wide(name); }
  // The native (UTF-8) spelling the core takes.
  std::string Native(std::u16string_view name) const {
    const std::wstring wide = Path(name).wstring();
    return PathToNative(std::u16string(wide.begin(), wide.end()));
  }

 private:
  static inline int count_ = 0;
  std::filesystem::path path_;
};

inline void WriteWide(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadWide(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return "<missing>";
  return std::string(std::istreambuf_iterator<char>(file), {});
}

}  // namespace dkscr::test
