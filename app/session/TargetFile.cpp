#include "app/session/TargetFile.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/NativePath.h"

namespace dkscr {
namespace {

// The path the system opens: the native bytes on POSIX, their UTF-16 form on Windows (a
// std::filesystem::path made from a narrow string would read it in the ANSI code page).
std::filesystem::path SystemPath(const std::u16string& path) {
#ifdef _WIN32
  return std::filesystem::path(WidePath(PathToNative(path)));
#else
  return std::filesystem::path(PathToNative(path));
#endif
}

// 0 when the file or folder may be written to, as far as the system tells without writing;
// else the errno. Windows ignores the read-only flag of folders and says nothing of ACLs here.
int WriteAccessError(const std::filesystem::path& path, bool folder) {
#ifdef _WIN32
  (void)folder;
  return ::_waccess(path.c_str(), 2) == 0 ? 0 : errno;
#else
  return ::access(path.c_str(), folder ? W_OK | X_OK : W_OK) == 0 ? 0 : errno;
#endif
}

// The errno of a folder that cannot take a new file, or 0 when it can.
int FolderWriteError(const std::filesystem::path& folder) {
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) return ec ? ec.value() : ENOTDIR;
  return WriteAccessError(folder, true);
}

}  // namespace

TargetCreateFailure WhyTargetCannotBeCreated(const std::u16string& target) {
  const std::filesystem::path native = SystemPath(target);
  const std::filesystem::path folder = native.has_parent_path() ? native.parent_path()
                                                                : std::filesystem::path(".");
  if (const int error = FolderWriteError(folder); error != 0) return {error, true};
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(native, ec);
  if (std::filesystem::is_directory(status)) return {EISDIR, false};
  if (std::filesystem::is_regular_file(status))
    if (const int error = WriteAccessError(native, false); error != 0) return {error, false};
  return {};
}

}  // namespace dkscr
