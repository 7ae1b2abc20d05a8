#include "tools/EndSignals.h"

#include <chrono>
#include <map>
#include <mutex>

#ifndef _WIN32
#include <pthread.h>
#include <unistd.h>

#include <csignal>
#include <thread>
#endif

namespace dkscr {
namespace {

// What is in flight belongs to the process, not to a conversion: a signal ends all of them.
struct InFlight {
  std::mutex mutex;
  std::map<long, std::string> files;
  long next = 0;
  std::timed_mutex lines;
};

InFlight& Flight() {
  static InFlight flight;
  return flight;
}

#ifndef _WIN32
// How long a signal waits for lines being written: a reader that stopped reading must not
// keep the program alive.
constexpr auto kLinesWait = std::chrono::seconds(5);
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

[[noreturn]] void EndBySignal(int sig) {
  InFlight& flight = Flight();
  // Both locks are kept to the end: no line starts and no file is noted after this.
  (void)flight.lines.try_lock_for(kLinesWait);
  flight.mutex.lock();
  for (const auto& [id, path] : flight.files) ::unlink(path.c_str());
  std::signal(sig, SIG_DFL);
  sigset_t one;
  sigemptyset(&one);
  sigaddset(&one, sig);
  pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
  ::raise(sig);
  ::_exit(128 + sig);  // not reached: the default action ends the process
}
#endif

}  // namespace

void WatchEndSignals() {
#ifndef _WIN32
  sigset_t watched;
  sigemptyset(&watched);
  for (const int sig : kSignals) {
    struct sigaction current {};
    // A signal ignored at start (nohup, a background job) stays ignored.
    if (sigaction(sig, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) sigaddset(&watched, sig);
  }
  if (pthread_sigmask(SIG_BLOCK, &watched, nullptr) != 0) return;
  std::thread([watched] {
    int sig = 0;
    while (sigwait(&watched, &sig) != 0) {
    }
    EndBySignal(sig);
  }).detach();
#endif
}

void PendingFile::Set(const std::string& path) {
  InFlight& flight = Flight();
  std::lock_guard<std::mutex> lock(flight.mutex);
  if (id_ == 0) id_ = ++flight.next;
  flight.files[id_] = path;
}

void PendingFile::Clear() {
  if (id_ == 0) return;
  InFlight& flight = Flight();
  std::lock_guard<std::mutex> lock(flight.mutex);
  flight.files.erase(id_);
  id_ = 0;
}

WholeLines::WholeLines() {
  Flight().lines.lock();
  locked_ = true;
}

WholeLines::~WholeLines() {
  if (locked_) Flight().lines.unlock();
}

}  // namespace dkscr
