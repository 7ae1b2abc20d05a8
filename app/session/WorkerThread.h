#pragma once
// One thread beside the session's for its long work, conversions and folder scans, so that
// the windows stay responsive. Work runs there in the order it was posted; results come back
// to the session's thread as queued calls, which need that thread's event loop.
#include <QObject>
#include <QThread>
#include <functional>

namespace dkscr {

class WorkerThread {
 public:
  WorkerThread();
  // Lets the work in hand finish, drops what was not started, and ends the thread.
  ~WorkerThread();
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  // Runs `work` on the worker thread after everything posted before.
  void Post(std::function<void()> work);
  // Returns once everything posted so far has run.
  void Drain();

 private:
  QThread thread_;
  QObject* context_;  // lives on the worker thread: queued calls to it run there
};

// Runs `call` on the thread of `context` (queued), unless the context is gone by then.
void PostTo(QObject* context, std::function<void()> call);

}  // namespace dkscr
