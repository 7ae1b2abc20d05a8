#include "app/batchrun/TargetFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

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

TargetWriteResult WriteTargetFile(const std::u16string& target, const uint8_t* data,
                                  size_t length) {
  const std::filesystem::path native(PathToNative(target));
  if (native.has_parent_path()) {
    std::error_code ignored;  // a failure shows when the file cannot be created
    std::filesystem::create_directories(native.parent_path(), ignored);
  }
  const int fd = ::open(native.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return TargetWriteResult::kCreateFailed;
  bool ok = true;
  size_t done = 0;
  while (done < length) {
    const ssize_t n = ::write(fd, data + done, length - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (::close(fd) != 0) ok = false;  // a full disk can show only here (NFS, quotas)
  return ok ? TargetWriteResult::kWritten : TargetWriteResult::kWriteFailed;
}

}  // namespace dkscr
