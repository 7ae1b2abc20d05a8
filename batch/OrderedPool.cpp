#include "batch/OrderedPool.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace dkscr {
namespace {

class Pool {
 public:
  Pool(size_t count, size_t window, const OrderedPoolTasks& tasks)
      : count_(count), window_(window), wakeBatch_(std::max<size_t>(1, window / 2)), tasks_(tasks),
        done_(window, false) {}

  void Worker(unsigned worker) {
    std::unique_lock lock(mutex_);
    for (;;) {
      ++workersWaiting_;
      bool helpedNothing = !tasks_.help;
      while (next_ < limit_ && !RoomForNext()) {
        if (!helpedNothing) {
          lock.unlock();
          helpedNothing = !tasks_.help(worker);
          lock.lock();
          continue;  // the window may have moved, or the pool stopped, while the lock was free
        }
        space_.wait(lock);
        helpedNothing = !tasks_.help;
      }
      --workersWaiting_;
      if (next_ >= limit_) return;
      const size_t index = next_++;
      ++running_;
      lock.unlock();
      tasks_.work(index, worker);
      lock.lock();
      done_[index % window_] = true;
      --running_;
      // Waking the taking thread costs both threads a switch: it is woken for a run of
      // results, or when nothing runs any more that could lengthen the run.
      if (takerWaiting_ && (running_ == 0 || ReadyRun() >= wakeBatch_)) finished_.notify_one();
    }
  }

  // The calling thread: takes results in order until all are taken or take() says stop.
  size_t TakeAll() {
    std::unique_lock lock(mutex_);
    while (taken_ < limit_) {
      if (!done_[taken_ % window_]) {
        takerWaiting_ = true;
        const std::cv_status waited = finished_.wait_for(lock, tasks_.tickEvery);
        takerWaiting_ = false;
        if (waited == std::cv_status::timeout && tasks_.tick) {
          lock.unlock();
          tasks_.tick();
          lock.lock();
        }
        continue;
      }
      done_[taken_ % window_] = false;
      const size_t index = taken_;
      lock.unlock();
      const bool go_on = tasks_.take(index);
      lock.lock();
      ++taken_;
      if (!go_on) limit_ = taken_;  // nothing new starts; running items are waited for
      if (workersWaiting_ > 0) space_.notify_all();
    }
    space_.notify_all();
    // Items still running write to their slots: wait until every started one is done.
    takerWaiting_ = true;
    while (running_ > 0) finished_.wait(lock);
    return taken_;
  }

  // Without any worker thread: one item at a time on the calling thread.
  size_t RunInline() {
    while (taken_ < limit_) {
      tasks_.work(taken_, 0);
      const bool go_on = tasks_.take(taken_);
      ++taken_;
      if (!go_on) break;
    }
    return taken_;
  }

  void Stop() {
    std::lock_guard lock(mutex_);
    limit_ = next_;
    space_.notify_all();
  }

 private:
  bool RoomForNext() const {
    if (next_ >= taken_ + window_) return false;
    return !tasks_.heavy || next_ < taken_ + std::max<size_t>(1, tasks_.heavyWindow) || !tasks_.heavy();
  }

  // Results done in a row from the next one to take.
  size_t ReadyRun() const {
    size_t ready = 0;
    while (taken_ + ready < next_ && done_[(taken_ + ready) % window_]) ++ready;
    return ready;
  }

  const size_t count_;
  const size_t window_;
  const size_t wakeBatch_;
  const OrderedPoolTasks& tasks_;
  std::mutex mutex_;
  std::condition_variable space_;
  std::condition_variable finished_;
  std::vector<bool> done_;
  size_t next_ = 0;
  size_t taken_ = 0;
  size_t limit_ = count_;
  size_t running_ = 0;          // items started and not done
  size_t workersWaiting_ = 0;   // workers waiting for room in the window
  bool takerWaiting_ = false;
};

}  // namespace

size_t RunOrderedPool(size_t count, unsigned jobs, size_t window,
                      const OrderedPoolTasks& tasks) {
  if (count == 0) return 0;
  if (jobs == 0) jobs = 1;
  if (window < jobs) window = jobs;
  Pool pool(count, window, tasks);
  std::vector<std::thread> workers;
  for (unsigned w = 0; w < jobs; ++w) {
    try {
      workers.emplace_back([&pool, w] { pool.Worker(w); });
    } catch (const std::system_error&) {
      break;  // no more threads: work with those we have
    }
  }
  const size_t taken = workers.empty() ? pool.RunInline() : pool.TakeAll();
  pool.Stop();
  for (std::thread& t : workers) t.join();
  return taken;
}

}  // namespace dkscr
