// Whole-file writes on Windows: a new file beside the destination, renamed over it with
// MoveFileExW once complete. Without permission to replace, the rename itself refuses an
// existing name, so a file that appeared meanwhile is never replaced.
#include <windows.h>
#include <io.h>

#include <algorithm>
#include <cerrno>

#include "platform/NativePath.h"
#include "platform/RegularFile.h"
#include "tools/AtomicWrite.h"

namespace dkscr {
namespace {

constexpr size_t kMaxNameInTemp = 200;  // keeps the temporary name within 255 characters
constexpr int kTempAttempts = 100;
constexpr DWORD kMaxWrite = 1u << 30;

bool WriteAllToHandle(HANDLE handle, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size(), kMaxWrite));
    if (!::WriteFile(handle, bytes.data(), want, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

// A console, printer port or pipe the user named: written where it is.
AtomicWriteResult WriteInPlace(const std::wstring& path, std::string_view bytes) {
  const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return AtomicWriteResult::kCreateFailed;
  const bool ok = WriteAllToHandle(handle, bytes);
  return ::CloseHandle(handle) && ok ? AtomicWriteResult::kWritten : AtomicWriteResult::kWriteFailed;
}

// A new file beside `path`, opened for writing; INVALID_HANDLE_VALUE when none can be made.
HANDLE CreateTemp(const std::wstring& path, std::wstring& temp) {
  const size_t slash = path.find_last_of(L"/\\:");
  const std::wstring folder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
  const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
    temp = folder + L"." + name.substr(0, kMaxNameInTemp) + L".tmp-" +
           std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(attempt);
    const HANDLE handle = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return handle;
  }
  return INVALID_HANDLE_VALUE;
}

}  // namespace

AtomicWriteResult WriteFileAtomically(const std::string& requested, std::string_view bytes,
                                      const AtomicWriteOptions& options) {
  if (options.makeFolders && !MakeParentFolders(requested)) return AtomicWriteResult::kCreateFailed;
  const std::wstring path = WidePath(requested);
  const FileStatus existing = StatusOfPath(requested);
  const bool exists = existing.kind != PathKind::kMissing;
  if (exists) {
    if (existing.kind == PathKind::kDirectory) return AtomicWriteResult::kCreateFailed;
    if (!options.replaceExisting) return AtomicWriteResult::kExists;
    if (!options.protectedPath.empty()) {
      const FileStatus kept = StatusOfPath(options.protectedPath);
      if (kept.kind == PathKind::kRegular && kept.device == existing.device &&
          kept.inode == existing.inode) {
        return AtomicWriteResult::kCreateFailed;
      }
    }
    if (existing.kind != PathKind::kRegular) {
      return options.writeSpecialInPlace ? WriteInPlace(path, bytes)
                                         : AtomicWriteResult::kCreateFailed;
    }
    // A file its owner made read-only is not replaced behind their back.
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
      return AtomicWriteResult::kCreateFailed;
    }
  }

  std::wstring temp;
  const HANDLE handle = CreateTemp(path, temp);
  if (handle == INVALID_HANDLE_VALUE) return AtomicWriteResult::kCreateFailed;
  bool written = WriteAllToHandle(handle, bytes);
  // The old text is only given up for one that is on the disk.
  if (written && exists && !::FlushFileBuffers(handle)) written = false;
  if (!::CloseHandle(handle)) written = false;

  AtomicWriteResult result = AtomicWriteResult::kWriteFailed;
  if (written) {
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (options.replaceExisting ? MOVEFILE_REPLACE_EXISTING : 0);
    if (::MoveFileExW(temp.c_str(), path.c_str(), flags)) {
      result = AtomicWriteResult::kWritten;
    } else {
      const DWORD error = ::GetLastError();
      result = !options.replaceExisting && (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
                   ? AtomicWriteResult::kExists
                   : AtomicWriteResult::kCreateFailed;
    }
  }
  if (result != AtomicWriteResult::kWritten) ::DeleteFileW(temp.c_str());
  return result;
}

bool WriteAllBytes(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const int n = ::_write(fd, bytes.data(), static_cast<unsigned>(std::min<size_t>(bytes.size(), kMaxWrite)));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

}  // namespace dkscr
