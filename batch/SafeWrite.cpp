#include "batch/SafeWrite.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <vector>

namespace dkscr {
namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  return path.substr(0, slash == 0 ? 1 : slash);
}

// mkdir -p, cheap when the folder exists: the usual case costs one call. Missing ancestors
// are collected first and made top down, without recursion.
bool MakeFolders(const std::string& folder) {
  std::vector<std::string> missing;
  for (std::string f = folder; !f.empty();) {
    if (::mkdir(f.c_str(), 0777) == 0 || errno == EEXIST) break;
    if (errno != ENOENT) return false;
    std::string parent = FolderOf(f);
    if (parent == f) return false;
    missing.push_back(std::move(f));
    f = std::move(parent);
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    if (::mkdir(it->c_str(), 0777) != 0 && errno != EEXIST) return false;
  }
  return true;
}

// A name no other writer of this process or another one uses: ".name.dkscr-PID-N".
int CreateTemporary(const std::string& target, std::string& tempPath) {
  static std::atomic<unsigned> counter{0};
  const size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempPath = folder + "." + name + ".dkscr-" + std::to_string(::getpid()) + "-" +
               std::to_string(counter.fetch_add(1));
    // 0666 leaves the permissions to the umask, as for any new file.
    const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Moves the temporary file onto a target that must not exist; kExists when it does.
WriteOutcome PlaceNew(const std::string& tempPath, const std::string& target) {
  if (::renameat2(AT_FDCWD, tempPath.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
    return WriteOutcome::kWritten;
  }
  if (errno == EEXIST) return WriteOutcome::kExists;
  if (errno != EINVAL && errno != ENOSYS) return WriteOutcome::kCreateFailed;
  // A file system without that rename: a hard link refuses an existing target too.
  if (::link(tempPath.c_str(), target.c_str()) != 0) {
    return errno == EEXIST ? WriteOutcome::kExists : WriteOutcome::kCreateFailed;
  }
  ::unlink(tempPath.c_str());
  return WriteOutcome::kWritten;
}

}  // namespace

bool WriteAllBytes(int fd, std::string_view bytes) {
  const char* data = bytes.data();
  size_t size = bytes.size();
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

WriteOutcome WriteFileSafely(const std::string& target, std::string_view bytes, bool replace,
                             const struct stat& source) {
  if (!MakeFolders(FolderOf(target))) return WriteOutcome::kCreateFailed;
  std::string tempPath;
  const int fd = CreateTemporary(target, tempPath);
  if (fd < 0) return WriteOutcome::kCreateFailed;
  const bool written = WriteAllBytes(fd, bytes);
  if (::close(fd) != 0 || !written) {
    ::unlink(tempPath.c_str());
    return WriteOutcome::kWriteFailed;
  }
  WriteOutcome outcome = WriteOutcome::kWritten;
  if (!replace) {
    outcome = PlaceNew(tempPath, target);
  } else {
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0 && existing.st_dev == source.st_dev &&
        existing.st_ino == source.st_ino) {
      outcome = WriteOutcome::kCreateFailed;  // the presentation itself
    } else if (::rename(tempPath.c_str(), target.c_str()) != 0) {
      outcome = WriteOutcome::kCreateFailed;
    }
  }
  if (outcome != WriteOutcome::kWritten) ::unlink(tempPath.c_str());
  return outcome;
}

}  // namespace dkscr
