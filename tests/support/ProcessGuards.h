#pragma once
// Guards for tests of calls that may block or hit a full disk: a call run in a child process
// under a time limit, and a file-size limit that makes writes fail as on a full disk.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>

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
