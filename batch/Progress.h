#pragma once
// The progress line of dkscrbatch on a terminal, and the summary at the end of a batch.
#include <chrono>
#include <cstddef>
#include <map>
#include <string>

#include "platform/ResultCodes.h"

namespace dkscr {

struct BatchCounts {
  size_t converted = 0;
  size_t kept = 0;                          // text file existing or up to date
  std::map<ResultCode, size_t> failedBy;    // result code -> how many
  size_t Failed() const;
  size_t Done() const { return converted + kept + Failed(); }
};

class ProgressLine {
 public:
  // Draws nothing unless enabled (a terminal, and not asked to be quiet).
  ProgressLine(int fd, bool enabled, size_t total);
  // Redraws at most ten times a second unless forced.
  void Update(const BatchCounts& counts, bool force = false);
  // Removes the line so that other text starts at the left edge.
  void Clear();
  double Seconds() const;

 private:
  using Clock = std::chrono::steady_clock;
  int fd_;
  bool enabled_;
  size_t total_;
  Clock::time_point start_ = Clock::now();
  Clock::time_point lastDrawn_{};
  bool shown_ = false;
};

// "12 converted, 3 kept, 2 failed (1 File format not correct, ...), 0.25 s, 68.0 files/s".
std::string SummaryText(const BatchCounts& counts, double seconds);

}  // namespace dkscr
