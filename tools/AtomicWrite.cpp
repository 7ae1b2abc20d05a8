#include "tools/AtomicWrite.h"

#include <fcntl.h>
#include <stdio.h>  // renameat2
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/NativePath.h"
#include "tools/EndSignals.h"

namespace dkscr {
namespace {

constexpr int kMaxLinkHops = 40;       // as the kernel allows before ELOOP
constexpr size_t kMaxNameInTemp = 200;  // keeps the temporary name within NAME_MAX
constexpr int kTempAttempts = 100;

// The path with its symbolic links followed to the last one, which may lead nowhere yet:
// writing through a dangling link creates the file it names, as opening it would.
std::string FinalPath(std::string path) {
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::string target(PATH_MAX, '\0');
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n <= 0 || static_cast<size_t>(n) >= target.size()) return path;
    target.resize(static_cast<size_t>(n));
    if (target[0] == '/') {
      path = target;
    } else {
      const size_t slash = path.rfind('/');
      path = slash == std::string::npos ? target : path.substr(0, slash + 1) + target;
    }
  }
  return path;
}

// A device or FIFO the user named: written where it is, as a shell redirection would.
AtomicWriteResult WriteInPlace(const std::string& path, std::string_view bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return AtomicWriteResult::kCreateFailed;
  bool ok = WriteAllBytes(fd, bytes);
  if (::close(fd) != 0) ok = false;
  return ok ? AtomicWriteResult::kWritten : AtomicWriteResult::kWriteFailed;
}

// A new file beside `path`, opened for writing and noted as in flight; -1 when none can be made.
int CreateTemp(const std::string& path, mode_t mode, std::string& temp, PendingFile& pending) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
    temp = folder + "." + name.substr(0, kMaxNameInTemp) + ".tmp-" + std::to_string(::getpid()) +
           "-" + std::to_string(attempt);
    pending.Set(temp);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Gives the complete temporary file the destination's name without replacing anything that
// is there by now.
AtomicWriteResult LinkWithoutReplacing(const std::string& temp, const std::string& path) {
  if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) {
    return AtomicWriteResult::kWritten;
  }
  if (errno == EEXIST) return AtomicWriteResult::kExists;
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
    return AtomicWriteResult::kCreateFailed;
  }
  // File systems without that rename (NFS) still refuse to link over an existing name.
  if (::link(temp.c_str(), path.c_str()) != 0) {
    return errno == EEXIST ? AtomicWriteResult::kExists : AtomicWriteResult::kCreateFailed;
  }
  ::unlink(temp.c_str());
  return AtomicWriteResult::kWritten;
}

// Whether the way from `folder` down to `path` (which lies below it) passes no symbolic link,
// the last name included (which may not exist yet).
bool NoLinkBelow(const std::string& folder, const std::string& path) {
  std::string base = folder;
  while (!base.empty() && base.back() == '/') base.pop_back();  // "/" becomes ""
  if (path.compare(0, base.size(), base) != 0 || path.size() <= base.size() || path[base.size()] != '/') {
    return false;
  }
  for (size_t at = base.size() + 1; at <= path.size(); ++at) {
    if (at != path.size() && path[at] != '/') continue;
    struct stat st {};
    if (::lstat(path.substr(0, at).c_str(), &st) == 0 && S_ISLNK(st.st_mode)) return false;
  }
  return true;
}

}  // namespace

AtomicWriteResult WriteFileAtomically(const std::string& requested, std::string_view bytes,
                                      const AtomicWriteOptions& options) {
  const bool confined = !options.confineTo.empty();
  if (confined && !NoLinkBelow(options.confineTo, requested)) return AtomicWriteResult::kCreateFailed;
  if (options.makeFolders && !MakeParentFolders(requested)) return AtomicWriteResult::kCreateFailed;
  // The folders just made, or made meanwhile by someone else, are checked again.
  if (confined && !NoLinkBelow(options.confineTo, requested)) return AtomicWriteResult::kCreateFailed;
  struct stat existing {};
  const bool exists = ::stat(requested.c_str(), &existing) == 0;
  // The name to replace: where the links lead (none below a confining folder). An existing
  // file's own path comes from the kernel, which also knows links of /proc such as /dev/stdout.
  std::string path = requested;
  if (confined) {
    // The name itself, checked above.
  } else if (!exists) {
    path = FinalPath(requested);
  } else if (S_ISREG(existing.st_mode)) {
    char* resolved = ::realpath(requested.c_str(), nullptr);
    path = resolved != nullptr ? std::string(resolved) : FinalPath(requested);
    std::free(resolved);
  }
  if (exists) {
    if (S_ISDIR(existing.st_mode)) return AtomicWriteResult::kCreateFailed;
    if (!options.replaceExisting) return AtomicWriteResult::kExists;
    struct stat kept {};
    if (!options.protectedPath.empty() && ::stat(options.protectedPath.c_str(), &kept) == 0 &&
        kept.st_dev == existing.st_dev && kept.st_ino == existing.st_ino) {
      return AtomicWriteResult::kCreateFailed;
    }
    if (!S_ISREG(existing.st_mode)) {
      return options.writeSpecialInPlace ? WriteInPlace(path, bytes)
                                         : AtomicWriteResult::kCreateFailed;
    }
    // A file its owner made read-only is not replaced behind their back, not even by root,
    // whom access() always lets write.
    if (::access(path.c_str(), W_OK) != 0 || (existing.st_mode & 0222) == 0) {
      return AtomicWriteResult::kCreateFailed;
    }
  }

  // Created no more open than the file it replaces; the exact bits are set below.
  const mode_t mode = exists ? (existing.st_mode & 0777) : 0666;
  std::string temp;
  PendingFile pending;  // removed by a signal that ends the program, until renamed or removed
  const int fd = CreateTemp(path, mode, temp, pending);
  if (fd < 0) return AtomicWriteResult::kCreateFailed;
  bool written = WriteAllBytes(fd, bytes);
  if (written && exists) {
    if (::fchmod(fd, existing.st_mode & 07777) != 0) written = false;
    // Keeps owner and group where allowed (as root); a plain user's file is theirs anyway.
    if (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()) {
      (void)::fchown(fd, existing.st_uid, existing.st_gid);
    }
    // The old text is only given up for one that is on the disk.
    if (::fsync(fd) != 0) written = false;
  }
  if (::close(fd) != 0) written = false;  // a full disk may show only here (NFS, quotas)

  AtomicWriteResult result = AtomicWriteResult::kWriteFailed;
  if (written) {
    if (options.replaceExisting) {
      result = ::rename(temp.c_str(), path.c_str()) == 0 ? AtomicWriteResult::kWritten
                                                         : AtomicWriteResult::kCreateFailed;
    } else {
      result = LinkWithoutReplacing(temp, path);
    }
  }
  if (result != AtomicWriteResult::kWritten) ::unlink(temp.c_str());
  return result;
}

bool WriteAllBytes(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

}  // namespace dkscr
