#pragma once
// The std::filesystem path of a native path: the bytes on POSIX systems; on Windows the UTF-16
// name, since the narrow calls would go through the ANSI code page.
#include <filesystem>
#include <string>

#include "platform/NativePath.h"

namespace dkscr::test {

inline std::filesystem::path FsPath(const std::string& native) {
#ifdef _WIN32
  const std::u16string wide = PathFromNative(native);
  return std::filesystem::path(std::wstring(wide.begin(), wide.end()));
#else
  return std::filesystem::path(native);
#endif
}

}  // namespace dkscr::test
