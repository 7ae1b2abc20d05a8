#include "app/batchrun/TargetFile.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

#include "core/AtomicWrite.h"
#include "core/NativePath.h"

namespace dkscr {

bool FileExistsAt(const std::u16string& path) {
  struct stat info {};
  return ::stat(PathToNative(path).c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool PathExists(const std::u16string& path) {
  struct stat info {};
  return ::stat(PathToNative(path).c_str(), &info) == 0;
}

TargetWriteResult WriteTargetFile(const std::u16string& target, const std::u16string& source,
                                  bool replaceExisting, const uint8_t* data, size_t length) {
  const std::filesystem::path native(PathToNative(target));
  if (native.has_parent_path()) {
    std::error_code ignored;  // a failure shows when the file cannot be created
    std::filesystem::create_directories(native.parent_path(), ignored);
  }
  AtomicWriteOptions options;
  options.replaceExisting = replaceExisting;
  options.protectedPath = PathToNative(source);  // a source named like its target stays
  const std::string_view text(reinterpret_cast<const char*>(data), length);
  switch (WriteFileAtomically(native.string(), text, options)) {
    case AtomicWriteResult::kWritten: return TargetWriteResult::kWritten;
    case AtomicWriteResult::kWriteFailed: return TargetWriteResult::kWriteFailed;
    case AtomicWriteResult::kExists:  // appeared since it was checked: not ours to replace
    case AtomicWriteResult::kCreateFailed: break;
  }
  return TargetWriteResult::kCreateFailed;
}

}  // namespace dkscr
