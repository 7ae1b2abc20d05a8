#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it, and a
// writer and readers of whole files; on POSIX systems and Windows alike (paths in the native
// spelling the core takes: bytes, or UTF-8 on Windows).
#include <fcntl.h>
#include <stdio.h>
#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/NativePath.h"
#include "tests/support/FsPath.h"

namespace dkscr::test {

// The native spelling of a std::filesystem path.
inline std::string NativeOf(const std::filesystem::path& path) {
#ifdef _WIN32
  const std::wstring wide = path.wstring();
  return PathToNative(std::u16string(wide.begin(), wide.end()));
#else
  return path.string();
#endif
}

// The whole content of a file read from a descriptor, from the start.
inline std::string ReadAll(int fd) {
  std::string out;
  char chunk[65536];
#ifdef _WIN32
  ::_lseeki64(fd, 0, SEEK_SET);
  for (;;) {
    const int got = ::_read(fd, chunk, sizeof chunk);
    if (got <= 0) break;
    out.append(chunk, static_cast<size_t>(got));
  }
#else
  for (off_t at = 0;;) {
    const ssize_t got = ::pread(fd, chunk, sizeof chunk, at);
    if (got <= 0) break;
    out.append(chunk, static_cast<size_t>(got));
    at += got;
  }
#endif
  return out;
}

// A file without a name (on Windows, one removed when closed) for a descriptor that a test
// writes to and reads back; -1 when none can be made.
inline int AnonymousFile() {
#ifdef _WIN32
  std::random_device random;
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("dkscr-file-" + std::to_string(random()));
  return ::_wopen(path.wstring().c_str(), _O_RDWR | _O_CREAT | _O_EXCL | _O_BINARY | _O_TEMPORARY,
                  _S_IREAD | _S_IWRITE);
#else
  return ::memfd_create("scratch", MFD_CLOEXEC);
#endif
}

inline void CloseFile(int fd) {
#ifdef _WIN32
  ::_close(fd);
#else
  ::close(fd);
#endif
}

// Whether anything (a link too) is at the path.
inline bool Exists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(std::filesystem::symlink_status(FsPath(path), error));
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream file(FsPath(path), std::ios::binary);
  if (!file) return "<missing>";
  return std::string(std::istreambuf_iterator<char>(file), {});
}

inline void WriteFileBytes(const std::string& path, std::string_view bytes) {
  std::ofstream file(FsPath(path), std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path);
}

// Sets a file's last-write time (seconds since the epoch).
inline void SetMtime(const std::string& path, long long seconds) {
  const auto time = std::chrono::file_clock::from_sys(std::chrono::sys_seconds(std::chrono::seconds(seconds)));
  std::filesystem::last_write_time(FsPath(path), time);
}

class ScratchDir {
 public:
  ScratchDir() {
    // A name nobody holds: created here, or another try.
    std::random_device random;
    const std::filesystem::path temp = std::filesystem::temp_directory_path();
    for (int attempt = 0;; ++attempt) {
      const std::filesystem::path candidate = temp / ("dkscr-test-" + std::to_string(random()));
      if (std::filesystem::create_directory(candidate)) {
        path_ = NativeOf(candidate);
        break;
      }
      if (attempt == 100) throw std::runtime_error("no scratch folder");
    }
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(FsPath(path_), ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  // A path inside the folder, as native bytes.
  std::string Path(const std::string& name) const { return path_ + "/" + name; }
  // Writes the bytes into a file of that name: its native path, or as the converters take it.
  std::string Write(const std::string& name, std::string_view bytes) const {
    WriteFileBytes(Path(name), bytes);
    return Path(name);
  }
  std::u16string Put(const std::string& name, std::string_view bytes) const {
    return PathFromNative(Write(name, bytes));
  }

 private:
  std::string path_;
};

}  // namespace dkscr::test
