#pragma once
// Guards for tests of calls that may block, run away or hit a full disk: a call run in a child
// process under a time limit (and a memory limit), and a file-size limit that makes writes fail
// as on a full disk.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace dkscr::test {

// Runs `body` in a forked child and gives its exit status (the low byte of what it returned),
// or -1 when the child was killed: a call that blocks ends the child after `seconds` and fails
// the test instead of hanging the suite.
inline int StatusInChild(const std::function<int()>& body, unsigned seconds = 20) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::alarm(seconds);
    ::_exit(body() & 0xFF);
  }
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

#if defined(__SANITIZE_ADDRESS__)
#define DKSCR_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DKSCR_TEST_ASAN 1
#endif
#endif
#ifdef DKSCR_TEST_ASAN
// AddressSanitizer reserves terabytes of address space for its shadow, so no limit of it can
// hold there, and code built for it runs several times slower.
inline constexpr bool kAddressSpaceLimited = false;
inline constexpr unsigned kSlowdown = 8;
#else
inline constexpr bool kAddressSpaceLimited = true;
inline constexpr unsigned kSlowdown = 1;
#endif

// Runs `body` in a forked child with at most `addressSpace` bytes of address space (where a
// limit can hold) and `seconds` of time (longer where the build is slow), and gives what it
// returned; nothing when the child died: killed at the time limit, or by running out of memory
// with no way out.
inline std::optional<std::string> ReportOfBoundedChild(const std::function<std::string()>& body,
                                                       uint64_t addressSpace, unsigned seconds) {
  int fds[2];
  if (::pipe(fds) != 0) return std::nullopt;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    if (kAddressSpaceLimited) {
      struct rlimit limit {};
      limit.rlim_cur = limit.rlim_max = addressSpace;
      ::setrlimit(RLIMIT_AS, &limit);
    }
    ::alarm(seconds * kSlowdown);
    const std::string report = body();
    for (size_t done = 0; done < report.size();) {
      const ssize_t n = ::write(fds[1], report.data() + done, report.size() - done);
      if (n <= 0) ::_exit(2);
      done += static_cast<size_t>(n);
    }
    ::_exit(0);
  }
  ::close(fds[1]);
  std::string report;
  char chunk[4096];
  for (ssize_t n; (n = ::read(fds[0], chunk, sizeof chunk)) > 0;) report.append(chunk, static_cast<size_t>(n));
  ::close(fds[0]);
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return std::nullopt;
  }
  return report;
}

// While it lives, no file of this process may grow beyond `bytes`: writes past it fail with
// EFBIG (the signal that would kill the process is ignored), like a disk that is full.
class ScopedFileSizeLimit {
 public:
  explicit ScopedFileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &previous_);
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = previous_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~ScopedFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
  ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

 private:
  struct rlimit previous_ {};
  void (*previousHandler_)(int) = SIG_DFL;
};

}  // namespace dkscr::test
