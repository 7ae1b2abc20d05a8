#pragma once
// The whole dkscrbatch run behind main(): options, the input list, the conversions on a
// pool of threads, the results in input order, progress and summary.
#include <span>

namespace dkscr {

struct BatchStreams {
  int in = 0;
  int out = 1;
  int err = 2;
  bool errIsTerminal = false;  // the progress line is drawn only on a terminal
};

// args: argv as the process got it. Returns the exit status: 0 all converted (or kept),
// 1 some failed, 2 usage error.
int RunBatch(std::span<const char* const> args, const BatchStreams& streams);

}  // namespace dkscr
