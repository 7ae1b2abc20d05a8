#include "app/session/FileProbe.h"

#include <sys/stat.h>

#include <string>

#include "platform/NativePath.h"

namespace dkscr {

namespace {
bool StatPath(std::u16string_view path, struct stat& st) {
  if (path.empty()) return false;
  const std::string native = PathToNative(path);
  return ::stat(native.c_str(), &st) == 0;
}
}  // namespace

int64_t FileSizeOf(std::u16string_view path) {
  struct stat st {};
  if (!StatPath(path, st) || S_ISDIR(st.st_mode)) return 0;
  return static_cast<int64_t>(st.st_size);
}

bool IsDirectory(std::u16string_view path) {
  struct stat st {};
  if (!StatPath(path, st)) return true;
  return S_ISDIR(st.st_mode);
}

bool FileExists(std::u16string_view path) {
  struct stat st {};
  return StatPath(path, st) && !S_ISDIR(st.st_mode);
}

bool PathExists(std::u16string_view path) {
  struct stat st {};
  return StatPath(path, st);
}

}  // namespace dkscr
