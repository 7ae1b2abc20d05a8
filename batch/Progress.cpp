#include "batch/Progress.h"

#include <cstdio>

#include "tools/AtomicWrite.h"
#include "tools/Messages.h"

namespace dkscr {

size_t BatchCounts::Failed() const {
  size_t failed = 0;
  for (const auto& [code, n] : failedBy) failed += n;
  return failed;
}

ProgressLine::ProgressLine(int fd, bool enabled, size_t total)
    : fd_(fd), enabled_(enabled), total_(total) {}

double ProgressLine::Seconds() const {
  return std::chrono::duration<double>(Clock::now() - start_).count();
}

void ProgressLine::Update(const BatchCounts& counts, bool force) {
  if (!enabled_) return;
  const Clock::time_point now = Clock::now();
  if (!force && shown_ && now - lastDrawn_ < std::chrono::milliseconds(100)) return;
  lastDrawn_ = now;
  const size_t done = counts.Done();
  const double seconds = Seconds();
  const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
  char left[32] = "?";
  if (rate > 0) {
    const auto remaining = static_cast<long>(static_cast<double>(total_ - done) / rate + 0.5);
    std::snprintf(left, sizeof left, "%ld:%02ld", remaining / 60, remaining % 60);
  }
  char line[160];
  std::snprintf(line, sizeof line, "\r\x1b[K%zu/%zu files  %.1f files/s  %zu failed  %s left",
                done, total_, rate, counts.Failed(), left);
  WriteAllBytes(fd_, line);
  shown_ = true;
}

void ProgressLine::Clear() {
  if (!shown_) return;
  WriteAllBytes(fd_, "\r\x1b[K");
  shown_ = false;
}

std::string SummaryText(const BatchCounts& counts, double seconds) {
  std::string text = std::to_string(counts.converted) + " converted, " +
                     std::to_string(counts.kept) + " kept, " + std::to_string(counts.Failed()) +
                     " failed";
  if (!counts.failedBy.empty()) {
    text += " (";
    bool first = true;
    for (const auto& [code, n] : counts.failedBy) {
      if (!first) text += ", ";
      first = false;
      text += std::to_string(n) + " " + TextsForResult(code).windowed;
    }
    text += ")";
  }
  char timing[64];
  std::snprintf(timing, sizeof timing, ", %.2f s, %.1f files/s", seconds,
                seconds > 0 ? static_cast<double>(counts.Done()) / seconds : 0.0);
  return text + timing;
}

}  // namespace dkscr
