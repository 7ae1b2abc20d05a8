#include "core/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace dkscr {
namespace {

PathKind KindOfMode(mode_t mode) {
  if (S_ISREG(mode)) return PathKind::kRegular;
  return S_ISDIR(mode) ? PathKind::kDirectory : PathKind::kSpecial;
}

}  // namespace

PathKind KindOfPath(const std::string& nativePath) {
  struct stat st {};
  if (::stat(nativePath.c_str(), &st) != 0) return PathKind::kMissing;
  return KindOfMode(st.st_mode);
}

int OpenRegularFileForReading(const std::string& nativePath, uint64_t& size) {
  // Refused before opening when it is already known; the non-blocking open and fstat below
  // still catch a file swapped for a FIFO or device in between.
  const PathKind before = KindOfPath(nativePath);
  if (before == PathKind::kDirectory || before == PathKind::kSpecial) {
    errno = before == PathKind::kDirectory ? EISDIR : EINVAL;
    return -1;
  }
  const int fd = ::open(nativePath.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    ::close(fd);
    errno = error;
    return -1;
  }
  size = static_cast<uint64_t>(st.st_size);
  // Regular files ignore the flag; clearing it keeps later reads plain blocking reads.
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

}  // namespace dkscr
