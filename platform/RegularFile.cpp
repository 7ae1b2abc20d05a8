#include "platform/RegularFile.h"

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

FileStatus StatusOfStat(const struct stat& st) {
  FileStatus status;
  status.kind = KindOfMode(st.st_mode);
  status.size = static_cast<uint64_t>(st.st_size);
  status.mtimeSec = st.st_mtim.tv_sec;
  status.mtimeNsec = st.st_mtim.tv_nsec;
  status.device = static_cast<uint64_t>(st.st_dev);
  status.inode = static_cast<uint64_t>(st.st_ino);
  return status;
}

}  // namespace

FileStatus StatusOfPath(const std::string& nativePath) {
  struct stat st {};
  if (::stat(nativePath.c_str(), &st) != 0) return {};
  return StatusOfStat(st);
}

FileStatus StatusOfOpenFile(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return {};
  return StatusOfStat(st);
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

size_t ReadFileAt(int fd, uint64_t position, void* buffer, size_t count) {
  auto* bytes = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  while (done < count) {
    const ssize_t got = ::pread(fd, bytes + done, count - done, static_cast<off_t>(position + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

}  // namespace dkscr
