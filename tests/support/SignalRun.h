#pragma once
// A program run as a process and sent a signal at the moment that hurts most: as soon as a
// temporary file appears in a folder, or as soon as its standard output file is written to
// (inotify tells both without polling, so no test waits on a clock). Linux only.
#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <vector>

namespace dkscr::test {

struct SignalledRun {
  bool sent = false;  // the signal was sent before the program ended
  int status = 0;     // from waitpid
};

// Runs `program` with `args`, its standard output to `outPath` (created), and sends `sig` at the
// first file created in `folder` whose name holds `marker`, or (with an empty marker) at the
// first write to `outPath`. A run that hangs is killed after 60 s.
inline SignalledRun RunAndSignal(const std::string& program, const std::vector<std::string>& args,
                                 const std::string& outPath, const std::string& folder,
                                 const std::string& marker, int sig) {
  SignalledRun run;
  const int watch = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (watch < 0 || out < 0) return run;
  if (marker.empty()) {
    ::inotify_add_watch(watch, outPath.c_str(), IN_MODIFY);
  } else {
    ::inotify_add_watch(watch, folder.c_str(), IN_CREATE);
  }
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(out, STDOUT_FILENO);
    ::alarm(60);
    for (const int s : {SIGINT, SIGTERM, SIGHUP}) std::signal(s, SIG_DFL);  // as a shell starts it
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(out);
  int status = 0;
  while (!run.sent && ::waitpid(pid, &status, WNOHANG) == 0) {
    struct pollfd ready {watch, POLLIN, 0};
    if (::poll(&ready, 1, 100) <= 0) continue;
    alignas(struct inotify_event) char events[4096];
    const ssize_t got = ::read(watch, events, sizeof events);
    for (ssize_t at = 0; at < got && !run.sent;) {
      const auto* event = reinterpret_cast<const struct inotify_event*>(events + at);
      const std::string name = event->len > 0 ? std::string(event->name) : std::string();
      if (marker.empty() || name.find(marker) != std::string::npos) {
        run.sent = ::kill(pid, sig) == 0;
      }
      at += static_cast<ssize_t>(sizeof(struct inotify_event) + event->len);
    }
  }
  if (run.sent) ::waitpid(pid, &status, 0);
  run.status = status;
  ::close(watch);
  return run;
}

}  // namespace dkscr::test
