#pragma once
// A folder scan on the worker thread: the walk runs there, and what it finds comes back to the
// session's thread in batches, where it is added to the list, so that the list grows while the
// user watches and Stop takes effect before the next entry.
#include <QObject>
#include <QSemaphore>
#include <atomic>

#include "app/session/FolderScan.h"

namespace dkscr {

class Session;
class WorkerThread;

class BackgroundScan {
 public:
  explicit BackgroundScan(WorkerThread& worker);
  // A scan in progress is stopped and waited for.
  ~BackgroundScan();
  BackgroundScan(const BackgroundScan&) = delete;
  BackgroundScan& operator=(const BackgroundScan&) = delete;

  // Starts scanning and returns at once. On this thread, the observer hears of every folder
  // entered and, once the last files are in the list, Finished; its StopRequested is not
  // asked (Stop is).
  void Start(Session& session, ScanRequest request, ScanObserver& observer);
  bool Running() const { return running_; }
  // Ends the scan before its next entry; what was found until then is still added.
  void Stop();

 private:
  struct Batch;
  class Walker;
  void Take(const Batch& batch);

  WorkerThread& worker_;
  Session* session_ = nullptr;
  ScanObserver* observer_ = nullptr;
  ScanSummary summary_;
  bool running_ = false;
  std::atomic<bool> stop_{false};
  QSemaphore taken_;  // the walker waits here until its batch is in the list
  QObject context_;   // on this thread: where batches come back to
};

}  // namespace dkscr
