// The ordered pool: results taken in input order, never more than the window in flight,
// workers that help rather than wait, a narrower window for heavy results, and a stop that
// starts nothing more. Then the digests that results in the window wait for, each made once
// by whoever gets to it first.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <thread>
#include <vector>

#include "batch/OrderedPool.h"
#include "batch/PendingDigests.h"

namespace dkscr {
namespace {

TEST(OrderedPoolTest, TakesInOrderWithinTheWindow) {
  for (const unsigned jobs : {1u, 3u, 8u}) {
    constexpr size_t kCount = 200;
    const size_t window = 2 * jobs;
    std::vector<size_t> slots(window, 0);
    std::vector<size_t> taken;
    std::atomic<size_t> inFlight{0};
    std::atomic<size_t> mostInFlight{0};
    OrderedPoolTasks tasks;
    tasks.work = [&](size_t index, unsigned worker) {
      EXPECT_LT(worker, jobs);
      const size_t now = ++inFlight;
      for (size_t seen = mostInFlight; now > seen && !mostInFlight.compare_exchange_weak(seen, now);) {
      }
      // Later items often finish first.
      std::this_thread::sleep_for(std::chrono::microseconds((kCount - index) % 7 * 50));
      slots[index % window] = index + 1;
    };
    tasks.take = [&](size_t index) {
      EXPECT_EQ(slots[index % window], index + 1) << "slot overwritten or not filled";
      taken.push_back(index);
      --inFlight;  // started and not yet taken
      return true;
    };
    EXPECT_EQ(RunOrderedPool(kCount, jobs, window, tasks), kCount);
    ASSERT_EQ(taken.size(), kCount);
    for (size_t i = 0; i < kCount; ++i) EXPECT_EQ(taken[i], i);
    EXPECT_LE(mostInFlight.load(), window) << jobs << " jobs";
  }
}

// The taking thread is woken for runs of results: one slow item behind finished ones, or a
// last item alone, must still wake it, and it ticks while it waits.
TEST(OrderedPoolTest, ASlowItemOrTheLastOneStillWakesTheTakingThread) {
  for (const unsigned jobs : {1u, 2u, 4u}) {
    for (const size_t count : {1u, 3u, 50u}) {
      std::vector<size_t> taken;
      std::atomic<int> ticks{0};
      OrderedPoolTasks tasks;
      tasks.work = [&](size_t index, unsigned) {
        if (index == count / 2) std::this_thread::sleep_for(std::chrono::milliseconds(60));
      };
      tasks.take = [&](size_t index) {
        taken.push_back(index);
        return true;
      };
      tasks.tick = [&] { ++ticks; };
      tasks.tickEvery = std::chrono::milliseconds(10);
      EXPECT_EQ(RunOrderedPool(count, jobs, 4 * jobs, tasks), count);
      ASSERT_EQ(taken.size(), count);
      for (size_t i = 0; i < count; ++i) EXPECT_EQ(taken[i], i);
      EXPECT_GT(ticks.load(), 0) << jobs << " jobs, " << count << " items";
    }
  }
}

// The taking thread is slow and the work quick: a worker with no room in the window takes
// what help() offers instead of sleeping, and the order and the window still hold.
TEST(OrderedPoolTest, WorkersHelpWhileTheWindowIsFull) {
  for (const unsigned jobs : {1u, 2u}) {
    constexpr size_t kCount = 40;
    std::atomic<int> offered{0};
    std::atomic<int> helped{0};
    std::atomic<size_t> inFlight{0};
    std::vector<size_t> taken;
    OrderedPoolTasks tasks;
    tasks.work = [&](size_t, unsigned) {
      EXPECT_LE(++inFlight, 2 * jobs);
      ++offered;
    };
    tasks.help = [&](unsigned) {
      for (int n = offered.load(); n > 0;) {
        if (offered.compare_exchange_weak(n, n - 1)) {
          ++helped;
          return true;
        }
      }
      return false;
    };
    tasks.take = [&](size_t index) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      taken.push_back(index);
      --inFlight;
      return true;
    };
    EXPECT_EQ(RunOrderedPool(kCount, jobs, 2 * jobs, tasks), kCount);
    ASSERT_EQ(taken.size(), kCount);
    for (size_t i = 0; i < kCount; ++i) EXPECT_EQ(taken[i], i);
    EXPECT_GT(helped.load(), 0) << jobs << " jobs";
  }
}

// While the results held are heavy, items start only within the narrower window; while
// they are light, the whole window fills.
TEST(OrderedPoolTest, HeavyResultsNarrowTheWindow) {
  for (const bool heavy : {true, false}) {
    std::atomic<size_t> inFlight{0};
    std::atomic<size_t> mostInFlight{0};
    OrderedPoolTasks tasks;
    tasks.work = [&](size_t, unsigned) {
      const size_t now = ++inFlight;
      for (size_t seen = mostInFlight; now > seen && !mostInFlight.compare_exchange_weak(seen, now);) {
      }
    };
    tasks.take = [&](size_t) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));  // results pile up
      --inFlight;
      return true;
    };
    tasks.heavy = [&] { return heavy; };
    tasks.heavyWindow = 2;
    EXPECT_EQ(RunOrderedPool(40, 2, 8, tasks), 40u);
    if (heavy) {
      EXPECT_LE(mostInFlight.load(), 2u);
    } else {
      EXPECT_GT(mostInFlight.load(), 2u);
    }
  }
}

// Room made in the window, or the end, while a worker helps with nothing to do must still
// reach it: it finds the window moved on when it comes back instead of sleeping for ever.
TEST(OrderedPoolTest, RoomMadeWhileAWorkerHelpsIsNotMissed) {
  for (const unsigned jobs : {1u, 2u}) {
    OrderedPoolTasks tasks;
    tasks.work = [](size_t, unsigned) {};
    tasks.help = [](unsigned) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));  // the taking thread moves on meanwhile
      return false;
    };
    tasks.take = [](size_t) { return true; };
    auto run = std::async(std::launch::async, [&] { return RunOrderedPool(30, jobs, jobs, tasks); });
    if (run.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
      ADD_FAILURE() << jobs << " jobs: the pool hangs";
      std::_Exit(1);  // its threads cannot be joined
    }
    EXPECT_EQ(run.get(), 30u);
  }
}

TEST(OrderedPoolTest, StopStartsNothingMore) {
  std::atomic<size_t> started{0};
  OrderedPoolTasks tasks;
  tasks.work = [&](size_t, unsigned) { ++started; };
  tasks.take = [&](size_t index) { return index < 9; };
  EXPECT_EQ(RunOrderedPool(1000, 4, 8, tasks), 10u);
  EXPECT_LE(started.load(), 10u + 8u);
}

// One thread settles the slots in order while another makes any waiting digest: each digest
// is made exactly once, and a slot is settled only once its digest is made.
TEST(PendingDigestsTest, EachDigestMadeOnceByWhoeverComesFirst) {
  constexpr size_t kSlots = 8;
  constexpr int kRounds = 300;
  PendingDigests digests(kSlots);
  std::vector<std::atomic<int>> made(kSlots);
  std::atomic<bool> done{false};
  std::jthread helper([&] {
    while (!done.load()) {
      digests.MakeAny([&](size_t slot) {
        // A digest takes a while: the settling thread arrives meanwhile.
        std::this_thread::sleep_for(std::chrono::microseconds(50));
        ++made[slot];
      });
    }
  });
  const struct Stop {
    std::atomic<bool>& done;
    ~Stop() { done = true; }  // before the helper is joined, should an assertion end the test
  } stop{done};
  for (int round = 0; round < kRounds; ++round) {
    for (size_t slot = 0; slot < kSlots; ++slot) {
      if ((round + slot) % 3 != 0) digests.Offer(slot, slot);  // some results have no digest to make
    }
    std::this_thread::sleep_for(std::chrono::microseconds(20));  // the helper takes one
    for (size_t slot = 0; slot < kSlots; ++slot) {
      digests.Settle(slot, [&](size_t s) { ++made[s]; });
      ASSERT_EQ(made[slot].exchange(0), (round + slot) % 3 != 0 ? 1 : 0) << "round " << round << ", slot " << slot;
    }
  }
}

}  // namespace
}  // namespace dkscr
