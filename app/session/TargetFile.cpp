#include "app/session/TargetFile.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "core/AtomicWrite.h"
#include "core/NativePath.h"

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

TargetWriteOutcome WriteTargetFile(const std::u16string& target, const std::u16string& source,
                                   bool replaceExisting, const uint8_t* data, size_t length) {
  const std::filesystem::path native(PathToNative(target));
  const std::filesystem::path folder = native.has_parent_path() ? native.parent_path()
                                                                : std::filesystem::path(".");
  std::error_code made;
  std::filesystem::create_directories(folder, made);
  AtomicWriteOptions options;
  options.replaceExisting = replaceExisting;
  options.protectedPath = PathToNative(source);  // a source named like its target stays
  const std::string_view text(reinterpret_cast<const char*>(data), length);
  errno = 0;
  const AtomicWriteResult written = WriteFileAtomically(native.string(), text, options);
  const int error = errno;
  switch (written) {
    case AtomicWriteResult::kWritten: return {TargetWriteResult::kWritten, 0, false};
    case AtomicWriteResult::kWriteFailed:  // a full disk is full for the next file too
      return {TargetWriteResult::kWriteFailed, error, error == ENOSPC || error == EDQUOT};
    case AtomicWriteResult::kExists:  // appeared since it was checked: not ours to replace
      return {TargetWriteResult::kCreateFailed, EEXIST, false};
    case AtomicWriteResult::kCreateFailed: break;
  }
  // The folder's own trouble names the reason best (a file where a parent folder should be, a
  // read-only file system). An existing target was refused for what it is (a folder, the
  // source, a device or FIFO, a file its owner made read-only); otherwise the creation's own
  // error is the reason.
  const int folderError = made ? made.value() : FolderWriteError(folder);
  if (folderError != 0) return {TargetWriteResult::kCreateFailed, folderError, true};
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(native, ec);
  if (std::filesystem::is_directory(status)) return {TargetWriteResult::kCreateFailed, EISDIR, false};
  if (std::filesystem::exists(status)) {
    const bool readOnly = std::filesystem::is_regular_file(status) && ::access(native.c_str(), W_OK) != 0;
    return {TargetWriteResult::kCreateFailed, readOnly ? EACCES : 0, false};
  }
  return {TargetWriteResult::kCreateFailed, error, false};
}

}  // namespace dkscr
