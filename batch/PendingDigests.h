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
  explicit PendingDigests(size_t slots) : states_(new std::atomic<uint8_t>[slots]), slots_(slots) {
    for (size_t i = 0; i < slots; ++i) states_[i].store(kNone, std::memory_order_relaxed);
  }

  // The result in `slot`, just made, waits for its digest.
  void Offer(size_t slot) { states_[slot].store(kOffered, std::memory_order_release); }

  // Makes one waiting digest with `make(slot)`; false when none waits. Should the writing
  // thread come to that result meanwhile, it waits for the digest rather than making it twice.
  template <typename Make>
  bool MakeAny(Make&& make) {
    for (size_t i = slots_; i-- > 0;) {
      if (Claim(i)) {
        make(i);
        Release(i);
        return true;
      }
    }
    return false;
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
  size_t slots_;
};

}  // namespace dkscr
