#include "xml/MarkupWalker.h"

#include "xml/detail/PullScan.h"

namespace dkscr {

MarkupWalker::Event MarkupWalker::Next() {
  for (;;) {
    const Event event = reader_.ReadEvent();
    if (event == Event::kStartElement) {
      const std::string_view local = reader_.LocalName();
      if (!open_.empty() && open_.back().name == "AlternateContent" &&
          (local == "Choice" || local == "Fallback")) {
        if (open_.back().choiceTaken) {
          SkipElement();
          continue;
        }
        open_.back().choiceTaken = true;
      }
      if (open_.size() == kMaxDepth) throw MarkupTooDeepError();
      open_.push_back({local, false});
      if (!watched_.empty() && local == watched_) ++watchedOpen_;
      return event;
    }
    if (event == Event::kEndElement) {
      // An end tag that matches nothing open closes nothing.
      if (open_.empty()) continue;
      if (!watched_.empty() && open_.back().name == watched_) --watchedOpen_;
      open_.pop_back();
    }
    return event;
  }
}

bool MarkupWalker::SkipRest(std::span<const std::string_view> stops) {
  if (open_.empty() || reader_.Position() < noSkipBefore_) return false;
  size_t stoppedAt = 0;
  if (!reader_.SkipContent(kMaxDepth - open_.size(), stops, stoppedAt)) {
    noSkipBefore_ = stoppedAt;
    return false;
  }
  if (!watched_.empty() && open_.back().name == watched_) --watchedOpen_;
  open_.pop_back();
  return true;
}

// Reads past the element just started and everything inside it.
void MarkupWalker::SkipElement() {
  size_t depth = 1;
  while (depth > 0) {
    switch (reader_.ReadEvent()) {
      case Event::kStartElement: ++depth; break;
      case Event::kEndElement: --depth; break;
      case Event::kText: break;
      case Event::kEnd: return;
    }
  }
}

}  // namespace dkscr
