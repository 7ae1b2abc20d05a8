// Files on Windows: UTF-16 names, handles behind C run-time descriptors, and only disk files
// read (a console, printer port or pipe is refused like a FIFO elsewhere).
#include <windows.h>
#include <io.h>
#include <fcntl.h>

#include <algorithm>
#include <cerrno>

#include "platform/NativePath.h"
#include "platform/RegularFile.h"

namespace dkscr {
namespace {

// FILETIME counts 100 ns from 1601; ours counts from 1970 like the rest of the system.
constexpr int64_t kFileTimeTo1970 = 116444736000000000LL;

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (ok()) ::CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  HANDLE release() {
    HANDLE h = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return h;
  }

 private:
  HANDLE handle_;
};

void SetTime(const FILETIME& time, FileStatus& status) {
  const int64_t ticks =
      static_cast<int64_t>((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime) -
      kFileTimeTo1970;
  status.mtimeSec = ticks / 10000000;
  status.mtimeNsec = (ticks % 10000000) * 100;
}

FileStatus StatusOfHandle(HANDLE handle) {
  FileStatus status;
  if (::GetFileType(handle) != FILE_TYPE_DISK) {
    status.kind = PathKind::kSpecial;
    return status;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(handle, &info)) return {};
  const bool folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  status.kind = folder ? PathKind::kDirectory : PathKind::kRegular;
  status.size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  SetTime(info.ftLastWriteTime, status);
  status.device = info.dwVolumeSerialNumber;
  status.inode = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return status;
}

int ErrnoOfLastError() {
  switch (::GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return EACCES;
    default:
      return EIO;
  }
}

}  // namespace

FileStatus StatusOfPath(const std::string& nativePath) {
  // Attributes are read without opening anything; only a name that has them is then opened,
  // without access rights, to learn what kind of file it is and which one.
  const std::wstring wide = WidePath(nativePath);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data)) return {};
  Handle handle(::CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (handle.ok()) return StatusOfHandle(handle.get());
  // There, but not to be opened even for its attributes (a locked system file): the opening
  // that follows reports it.
  FileStatus status;
  status.kind = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::kDirectory : PathKind::kRegular;
  status.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  SetTime(data.ftLastWriteTime, status);
  return status;
}

FileStatus StatusOfOpenFile(int fd) {
  const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
  if (handle == INVALID_HANDLE_VALUE) return {};
  return StatusOfHandle(handle);
}

int OpenRegularFileForReading(const std::string& nativePath, uint64_t& size) {
  const PathKind before = KindOfPath(nativePath);
  if (before == PathKind::kDirectory || before == PathKind::kSpecial) {
    errno = before == PathKind::kDirectory ? EISDIR : EINVAL;
    return -1;
  }
  // Others may read, write, rename or delete the file meanwhile, as on POSIX systems.
  Handle handle(::CreateFileW(WidePath(nativePath).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle.ok()) {
    errno = ErrnoOfLastError();
    return -1;
  }
  const FileStatus status = StatusOfHandle(handle.get());
  if (status.kind != PathKind::kRegular) {
    errno = status.kind == PathKind::kDirectory ? EISDIR : EINVAL;
    return -1;
  }
  const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle.get()), _O_RDONLY | _O_BINARY);
  if (fd < 0) {
    errno = EMFILE;
    return -1;
  }
  handle.release();  // the descriptor owns it now
  size = status.size;
  return fd;
}

size_t ReadFileAt(int fd, uint64_t position, void* buffer, size_t count) {
  const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
  if (handle == INVALID_HANDLE_VALUE) return 0;
  auto* bytes = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  while (done < count) {
    // An offset of its own for every read, so threads never share a file position.
    OVERLAPPED at{};
    const uint64_t offset = position + done;
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    const DWORD want = static_cast<DWORD>(std::min<size_t>(count - done, 1u << 30));
    DWORD got = 0;
    if (!::ReadFile(handle, bytes + done, want, &got, &at) || got == 0) break;
    done += got;
  }
  return done;
}

}  // namespace dkscr
