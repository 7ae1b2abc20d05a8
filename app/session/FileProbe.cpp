#include "app/session/FileProbe.h"

#include <sys/stat.h>

#include <string>

#include "platform/NativePath.h"

namespace dkscr {

namespace {
// On Windows the UTF-16 call: the narrow one would go through the ANSI code page.
#ifdef _WIN32
using StatBuffer = struct _stat64;
#else
using StatBuffer = struct stat;
#endif

bool StatPath(std::u16string_view path, StatBuffer& st) {
  if (path.empty()) return false;
  const std::string native = PathToNative(path);
#ifdef _WIN32
  return ::_wstat64(WidePath(native).c_str(), &st) == 0;
#else
  return ::stat(native.c_str(), &st) == 0;
#endif
}
}  // namespace

int64_t FileSizeOf(std::u16string_view path) {
  StatBuffer st {};
  if (!StatPath(path, st) || S_ISDIR(st.st_mode)) return 0;
  return static_cast<int64_t>(st.st_size);
}

bool IsDirectory(std::u16string_view path) {
  StatBuffer st {};
  if (!StatPath(path, st)) return true;
  return S_ISDIR(st.st_mode);
}

bool FileExists(std::u16string_view path) {
  StatBuffer st {};
  return StatPath(path, st) && !S_ISDIR(st.st_mode);
}

bool PathExists(std::u16string_view path) {
  StatBuffer st {};
  return StatPath(path, st);
}

}  // namespace dkscr
