#pragma once
// The digests that results in the ordered window still wait for. Whoever gets to one first
// makes it: the thread that writes the result, just before it does, or a worker that finds no
// room in the window for a new item, so that neither core waits while digests remain.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace dkscr {

class PendingDigests {
 public:
  explicit PendingDigests(size_t slots)
      : states_(new std::atomic<uint8_t>[slots]), items_(new std::atomic<size_t>[slots]), slots_(slots) {
    for (size_t i = 0; i < slots; ++i) {
      states_[i].store(kNone, std::memory_order_relaxed);
      items_[i].store(0, std::memory_order_relaxed);
    }
  }

  // The result of item `item`, just made into `slot`, waits for its digest.
  void Offer(size_t slot, size_t item) {
    items_[slot].store(item, std::memory_order_relaxed);
    states_[slot].store(kOffered, std::memory_order_release);
  }

  // Makes one waiting digest with `make(slot)`, that of the latest item: the writing thread
  // comes to the earliest first, and waits should it find a digest being made. False when none
  // waits.
  template <typename Make>
  bool MakeAny(Make&& make) {
    for (;;) {
      size_t latest = slots_;
      for (size_t i = 0; i < slots_; ++i) {
        if (states_[i].load(std::memory_order_relaxed) == kOffered &&
            (latest == slots_ || items_[i].load(std::memory_order_relaxed) > items_[latest].load(std::memory_order_relaxed))) {
          latest = i;
        }
      }
      if (latest == slots_) return false;
      if (Claim(latest)) {
        make(latest);
        Release(latest);
        return true;
      }
    }
  }

  // Before the result in `slot` is written: its digest made here, unless no digest waits or
  // another thread is making it, which is then waited for.
  template <typename Make>
  void Settle(size_t slot, Make&& make) {
    if (Claim(slot)) {
      make(slot);
      states_[slot].store(kNone, std::memory_order_release);
      return;
    }
    while (states_[slot].load(std::memory_order_acquire) == kMaking) {
      states_[slot].wait(kMaking, std::memory_order_acquire);
    }
  }

 private:
  enum : uint8_t { kNone, kOffered, kMaking };

  bool Claim(size_t slot) {
    uint8_t offered = kOffered;
    return states_[slot].compare_exchange_strong(offered, kMaking, std::memory_order_acq_rel);
  }
  void Release(size_t slot) {
    states_[slot].store(kNone, std::memory_order_release);
    states_[slot].notify_all();
  }

  std::unique_ptr<std::atomic<uint8_t>[]> states_;
  std::unique_ptr<std::atomic<size_t>[]> items_;  // whose result each slot holds
  size_t slots_;
};

}  // namespace dkscr
