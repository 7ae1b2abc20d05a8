#pragma once
// A run whose conversions go to the worker thread: the run decides on the session's thread,
// each entry converts on the worker, and its outcome comes back to the session, so that the
// windows stay responsive however long a presentation takes.
#include <QObject>
#include <atomic>
#include <cstdint>
#include <memory>

#include "app/session/SessionRun.h"

namespace dkscr {

class TargetConverter;
class WorkerThread;

class BackgroundRun {
 public:
  BackgroundRun(WorkerThread& worker, TargetConverter& converter);
  // A run in progress is cancelled, and the conversion in hand waited for.
  ~BackgroundRun();
  BackgroundRun(const BackgroundRun&) = delete;
  BackgroundRun& operator=(const BackgroundRun&) = delete;

  // Starts the run and returns at once; false when it has nothing to do (an empty list).
  // Its observer is called on this thread, Finished last.
  bool Start(std::unique_ptr<SessionRun> run);
  bool Running() const { return run_ != nullptr; }

  // Asks the run to stop: no further entry starts. The conversion in hand may still finish
  // within half a second, and then counts; otherwise its converter is told to stop, nothing
  // of it is written, and the run ends at once.
  void Cancel();
  bool CancelRequested() const { return cancel_; }

 private:
  struct Job;
  void Advance();
  void Done(uint64_t number, const ConvertResult& result);

  WorkerThread& worker_;
  TargetConverter& converter_;
  std::unique_ptr<SessionRun> run_;
  bool cancel_ = false;
  std::shared_ptr<Job> job_;  // the conversion in hand, shared with the worker
  uint64_t jobs_ = 0;         // numbers the jobs, so that a late outcome is recognised
  QObject context_;           // on this thread: where outcomes come back to
};

}  // namespace dkscr
