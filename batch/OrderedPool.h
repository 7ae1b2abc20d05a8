#pragma once
// Work items run on several threads, their results taken in input order on the calling
// thread. At most `window` items are started and not yet taken, so the results held at
// once stay bounded whatever the number of items.
#include <chrono>
#include <cstddef>
#include <functional>

namespace dkscr {

struct OrderedPoolTasks {
  // Runs item `index` on worker `worker` (0 .. jobs-1). Must not throw.
  std::function<void(size_t index, unsigned worker)> work;
  // Takes item `index` on the calling thread, in order. False stops the pool: no item
  // starts any more, and those running finish without being taken.
  std::function<bool(size_t index)> take;
  // Optional: called on a worker that finds no room in the window for a new item, with no
  // lock held, so that it does work the taking thread would otherwise do while the worker
  // waits. True when it did some (it is then asked again before the worker sleeps).
  std::function<bool(unsigned worker)> help;
  // Optional: while this says that the results held are heavy, an item starts only within
  // the first `heavyWindow` places of the window (memory stays bounded with a window sized
  // for light results).
  std::function<bool()> heavy;
  size_t heavyWindow = 0;
  // Called on the calling thread about every `tickEvery` while items run (progress).
  std::function<void()> tick;
  std::chrono::milliseconds tickEvery{200};
};

// Runs items 0 .. count-1 with `jobs` workers. Slot `index % window` may hold an item's
// result: `work(index)` starts only after `take(index - window)` has returned. Returns the
// number of items taken. Threads that cannot be started leave fewer workers (at worst the
// calling thread does the work).
size_t RunOrderedPool(size_t count, unsigned jobs, size_t window, const OrderedPoolTasks& tasks);

}  // namespace dkscr
