#include "app/session/BackgroundRun.h"

#include <QTimer>
#include <optional>
#include <utility>

#include "app/session/WorkerThread.h"

namespace dkscr {

namespace {
// How long Cancel lets the conversion in hand finish before it is given up.
constexpr int kGraceMs = 500;
}  // namespace

struct BackgroundRun::Job {
  uint64_t number = 0;
  std::atomic<bool> stop{false};  // the converter's cancellation flag
};

BackgroundRun::BackgroundRun(WorkerThread& worker, TargetConverter& converter)
    : worker_(worker), converter_(converter) {}

BackgroundRun::~BackgroundRun() {
  // The worker may be converting for us: it must be done before the converter goes.
  if (job_) job_->stop = true;
  worker_.Drain();
}

bool BackgroundRun::Start(std::unique_ptr<SessionRun> run) {
  if (run_ != nullptr || !run->Start()) return false;
  cancel_ = false;
  run_ = std::move(run);
  // Not from here: the caller learns that the run started before it hears of its end.
  PostTo(&context_, [this] { Advance(); });
  return true;
}

void BackgroundRun::Cancel() {
  if (run_ == nullptr || cancel_) return;
  cancel_ = true;
  if (!job_) return;
  QTimer::singleShot(kGraceMs, &context_, [this, job = job_] {
    if (job_ != job) return;  // it finished in time: its outcome counts
    job->stop = true;
    Done(job->number, {ConvertResult::Status::kCancelled, 0});
  });
}

void BackgroundRun::Advance() {
  std::optional<ConvertJob> next = run_->Next();
  if (!next) {
    // The observer may start the next run from Finished.
    std::unique_ptr<SessionRun> run = std::move(run_);
    run->Finish();
    return;
  }
  job_ = std::make_shared<Job>();
  job_->number = ++jobs_;
  worker_.Post([this, job = job_, next = std::move(*next)] {
    const ConvertResult result = converter_.Convert(next, job->stop);
    PostTo(&context_, [this, number = job->number, result] { Done(number, result); });
  });
}

void BackgroundRun::Done(uint64_t number, const ConvertResult& result) {
  if (!job_ || job_->number != number) return;  // given up on: its outcome came too late
  job_.reset();
  run_->Complete(result);
  Advance();
}

}  // namespace dkscr
