#pragma once
// A scratch folder per test, removed with everything in it afterwards; on POSIX systems and
// Windows alike (native paths: bytes, or UTF-8 on Windows, with "/" between folders).
#ifndef _WIN32
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#endif

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>

#include "platform/NativePath.h"
#include "tests/support/FsPath.h"

namespace dkscr::test {

class TempDir {
 public:
  TempDir() {
#ifdef _WIN32
    std::random_device random;
    const std::filesystem::path temp = std::filesystem::temp_directory_path();
    for (int attempt = 0;; ++attempt) {
      const std::filesystem::path candidate = temp / ("dkscr-app-" + std::to_string(random()));
      if (std::filesystem::create_directory(candidate)) {
        const std::wstring wide = candidate.wstring();
        path_ = PathToNative(std::u16string(wide.begin(), wide.end())) + "/";
        for (char& c : path_) {
          if (c == '\\') c = '/';
        }
        break;
      }
      if (attempt == 100) throw std::runtime_error("no scratch folder");
    }
#else
    std::string pattern = (std::filesystem::temp_directory_path() / "dkscr-app-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern + "/";
#endif
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(FsPath(path_), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(FsPath(path_), ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // Native path, ending with "/".
  const std::string& Path() const { return path_; }
  std::u16string Wide() const { return PathFromNative(path_); }
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

#ifndef _WIN32
// While alive, writing past `bytes` in any file fails with EFBIG (a full disk, for root too).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    oldHandler_ = ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    ::signal(SIGXFSZ, oldHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_{};
  sighandler_t oldHandler_;
};
#endif

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(FsPath(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(FsPath(path), std::ios::binary | std::ios::trunc);
  out << bytes;
}

}  // namespace dkscr::test
