#pragma once
// How a front end ends on SIGINT, SIGTERM or SIGHUP: the temporary files it is writing are
// removed, output written a line at a time ends on a whole line, then the process ends as the
// signal asks (killed by it, as the shell expects). Without WatchEndSignals (the libraries, the
// desktop) nothing changes: the pieces below only note what is in flight.
#include <string>

namespace dkscr {

// Starts watching the signals a program was not told to ignore, on a thread of its own; call
// once from main before any other thread starts (the others inherit the signals blocked).
void WatchEndSignals();

// A temporary file in flight from before it is created until it is renamed or removed.
class PendingFile {
 public:
  PendingFile() = default;
  ~PendingFile() { Clear(); }
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  // The file about to be created under `path` (replacing any noted before).
  void Set(const std::string& path);
  // The file is gone or has its final name.
  void Clear();

 private:
  long id_ = 0;
};

// Held while whole lines go out: a signal waits (a few seconds at most, for a reader that
// stopped reading) until they are written, and no line starts after it.
class WholeLines {
 public:
  WholeLines();
  ~WholeLines();
  WholeLines(const WholeLines&) = delete;
  WholeLines& operator=(const WholeLines&) = delete;

 private:
  bool locked_ = false;
};

}  // namespace dkscr
