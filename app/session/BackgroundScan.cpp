#include "app/session/BackgroundScan.h"

#include <QElapsedTimer>
#include <utility>
#include <vector>

#include "app/session/Session.h"
#include "app/session/WorkerThread.h"

namespace dkscr {

struct BackgroundScan::Batch {
  std::vector<std::u16string> folders;  // entered, in order
  std::vector<std::u16string> files;
  std::vector<int64_t> sizes;  // as the walk found them
  bool last = false;
  bool stopped = false;
};

// Collects what the walk meets and hands it over in batches, one on its way at a time: the
// walk goes on while the session takes a batch, the list never lags far behind, and memory
// stays bounded. The first folder goes alone and is waited for, so that a Stop pressed as the
// scan starts is seen before the walk goes further.
class BackgroundScan::Walker : public ScanObserver {
 public:
  explicit Walker(BackgroundScan& owner) : owner_(owner) { sinceSent_.start(); }

  void FolderEntered(const std::u16string& folder) override {
    batch_.folders.push_back(folder);
    if (first_ || sinceSent_.elapsed() >= kBatchMs) Send(first_);
    first_ = false;
  }
  void FileFound(const FoundFile& file) override {
    batch_.files.push_back(file.Path());
    batch_.sizes.push_back(int64_t(file.size));
    if (batch_.files.size() >= kBatchFiles || sinceSent_.elapsed() >= kBatchMs) Send(false);
  }
  bool StopRequested() override { return owner_.stop_; }

  void Finish(bool stopped) {
    if (pending_) owner_.taken_.acquire();  // no permit is left over for the next scan
    batch_.last = true;
    batch_.stopped = stopped;
    PostTo(&owner_.context_, [&owner = owner_, batch = std::move(batch_)] { owner.Take(batch); });
  }

 private:
  static constexpr qint64 kBatchMs = 20;
  static constexpr size_t kBatchFiles = 512;

  void Send(bool waitUntilTaken) {
    if (pending_) owner_.taken_.acquire();
    PostTo(&owner_.context_, [&owner = owner_, batch = std::move(batch_)] {
      owner.Take(batch);
      owner.taken_.release();
    });
    batch_ = Batch();
    pending_ = !waitUntilTaken;
    if (waitUntilTaken) owner_.taken_.acquire();
    sinceSent_.restart();
  }

  BackgroundScan& owner_;
  Batch batch_;
  QElapsedTimer sinceSent_;
  bool first_ = true;
  bool pending_ = false;  // a batch on its way, not yet taken
};

BackgroundScan::BackgroundScan(WorkerThread& worker) : worker_(worker) {}

BackgroundScan::~BackgroundScan() {
  // A walker waiting for its batch to be taken must not wait for a session that is going.
  stop_ = true;
  taken_.release(2);
  worker_.Drain();
}

void BackgroundScan::Start(Session& session, ScanRequest request, ScanObserver& observer) {
  if (running_) return;
  session_ = &session;
  observer_ = &observer;
  summary_ = ScanSummary();
  stop_ = false;
  running_ = true;
  worker_.Post([this, request = std::move(request)] {
    Walker walker(*this);
    const FolderScan scan(request.masks, request.recursive);
    bool stopped = false;
    for (const std::u16string& folder : request.folders) {
      if (!scan.Execute(folder, walker)) {
        stopped = true;
        break;
      }
    }
    walker.Finish(stopped);
  });
}

void BackgroundScan::Stop() { stop_ = true; }

void BackgroundScan::Take(const Batch& batch) {
  for (const std::u16string& folder : batch.folders) observer_->FolderEntered(folder);
  for (AddOutcome outcome : session_->AddFiles(batch.files, batch.sizes))
    if (outcome == AddOutcome::kAdded) ++summary_.added;
  if (!batch.last) return;
  summary_.stopped = batch.stopped;
  running_ = false;
  observer_->Finished(summary_);
}

}  // namespace dkscr
