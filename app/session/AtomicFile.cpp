#include "app/session/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#ifdef _WIN32
#include "platform/RegularFile.h"
#include "tools/AtomicWrite.h"
#endif

namespace dkscr {
namespace {

class FdCloser {
 public:
  explicit FdCloser(int fd) : fd_(fd) {}
  ~FdCloser() {
    if (fd_ >= 0) ::close(fd_);
  }
  FdCloser(const FdCloser&) = delete;
  FdCloser& operator=(const FdCloser&) = delete;
  // Closes now and reports the error close gives (a delayed write error shows up here).
  int Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

#ifndef _WIN32
int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return 0;
}

// Mode of an existing target, so that replacing it keeps its permissions; new files get
// 0666 less the umask, like any file the program creates.
mode_t ModeFor(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
  return 0666;
}
#endif

}  // namespace

#ifdef _WIN32
// The library's own writer and reader: UTF-16 names, binary bytes, and a rename that
// replaces (MoveFileExW), which the C library's rename does not do there.
int ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  AtomicWriteOptions options;
  options.replaceExisting = true;
  switch (WriteFileAtomically(path, bytes, options)) {
    case AtomicWriteResult::kWritten: return 0;
    case AtomicWriteResult::kExists: return EEXIST;
    case AtomicWriteResult::kCreateFailed: return EACCES;
    case AtomicWriteResult::kWriteFailed: break;
  }
  return EIO;
}

int ReadWholeFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  uint64_t size = 0;
  const int fd = OpenRegularFileForReading(path, size);
  if (fd < 0) return errno;
  FdCloser closer(fd);
  char chunk[65536];
  while (true) {
    const int n = ::read(fd, chunk, sizeof chunk);
    if (n < 0) return errno;
    if (n == 0) break;
    bytes.append(chunk, static_cast<size_t>(n));
  }
  return 0;
}
#else
int ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  const mode_t mode = ModeFor(path);
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0 && errno != EEXIST) return errno;
  }
  if (fd < 0) return EEXIST;
  FdCloser closer(fd);
  int err = WriteAll(fd, bytes);
  if (err == 0 && ::fsync(fd) != 0) err = errno;
  if (mode != 0666 && err == 0 && ::fchmod(fd, mode) != 0) err = errno;
  const int closeErr = closer.Close();
  if (err == 0) err = closeErr;
  if (err == 0 && ::rename(temp.c_str(), path.c_str()) != 0) err = errno;
  if (err != 0) ::unlink(temp.c_str());
  return err;
}

int ReadWholeFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  FdCloser closer(fd);
  struct stat st {};
  if (::fstat(fd, &st) != 0) return errno;
  if (S_ISDIR(st.st_mode)) return EISDIR;
  char chunk[65536];
  while (true) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) break;
    bytes.append(chunk, static_cast<size_t>(n));
  }
  return 0;
}

#endif

}  // namespace dkscr
