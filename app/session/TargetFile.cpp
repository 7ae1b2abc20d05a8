#include "app/session/TargetFile.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/NativePath.h"

namespace dkscr {
namespace {

// The errno of a folder that cannot take a new file, or 0 when it can (as far as the system
// tells without writing).
int FolderWriteError(const std::filesystem::path& folder) {
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) return ec ? ec.value() : ENOTDIR;
  return ::access(folder.c_str(), W_OK | X_OK) == 0 ? 0 : errno;
}

}  // namespace

TargetCreateFailure WhyTargetCannotBeCreated(const std::u16string& target) {
  const std::filesystem::path native(PathToNative(target));
  const std::filesystem::path folder = native.has_parent_path() ? native.parent_path()
                                                                : std::filesystem::path(".");
  if (const int error = FolderWriteError(folder); error != 0) return {error, true};
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(native, ec);
  if (std::filesystem::is_directory(status)) return {EISDIR, false};
  if (std::filesystem::is_regular_file(status) && ::access(native.c_str(), W_OK) != 0)
    return {errno, false};
  return {};
}

}  // namespace dkscr
