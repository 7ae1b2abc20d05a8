#pragma once
// Walks an Office part's markup with the open elements on a stack of its own, reading only the
// first choice of every mc:AlternateContent (the others and the fallback repeat its content).
// Names are compared without their prefixes, so parts that bind other prefixes read the same.
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "xml/XmlPullReader.h"

namespace dkscr {

// Thrown when elements nest deeper than MarkupWalker::kMaxDepth.
struct MarkupTooDeepError {};

class MarkupWalker {
 public:
  using Event = XmlPullReader::Event;
  // Each open element costs a stack entry, so nesting is bounded as the element tree of a
  // slide is: markup deeper than this is refused.
  static constexpr size_t kMaxDepth = size_t{1} << 18;
  // Room for the open elements made at once: Office parts rarely nest deeper.
  static constexpr size_t kUsualDepth = 32;

  explicit MarkupWalker(std::string_view xml, XmlBuffer* kept = nullptr) : reader_(xml, kept) {
    open_.reserve(kUsualDepth);
  }

  // The next event outside skipped alternatives. After a start the element is on the stack,
  // after an end it has left it. Raises MarkupTooDeepError past kMaxDepth.
  Event Next();

  // Reads past the rest of the innermost open element, up to and with its end, without
  // events; it has then left the stack as after its end event, and the reader stands on that
  // end. When an element with a local name in `stops` starts inside it, when the input ends
  // first, or when nesting inside it would reach kMaxDepth, it reads nothing and returns false:
  // the caller walks on event by event, and sees what it would have seen. So a caller passes
  // the names it reacts to and takes true as the element's end event. Bytes that one call
  // gave up on are not scanned again by another, so the work stays linear in the input.
  bool SkipRest(std::span<const std::string_view> stops);

  const XmlPullReader& Reader() const { return reader_; }
  std::string_view Local() const { return reader_.LocalName(); }
  size_t Depth() const { return open_.size(); }
  // The local name `up` levels above the innermost open element (0: the element itself), or "".
  std::string_view Open(size_t up = 0) const {
    return up < open_.size() ? open_[open_.size() - 1 - up].name : std::string_view();
  }
  // Whether an element of that local name is open. The walker counts the open elements of the
  // one name asked about last (counting every name at every start would cost more than the
  // rest of the walk); asking about another name counts it once.
  bool Within(std::string_view local) const {
    if (local != watched_) {
      watched_.assign(local);
      watchedOpen_ = 0;
      for (const OpenElement& element : open_) watchedOpen_ += element.name == local;
    }
    return watchedOpen_ > 0;
  }

 private:
  struct OpenElement {
    std::string_view name;
    bool choiceTaken;  // for mc:AlternateContent: a choice has been read
  };
  void SkipElement();

  XmlPullReader reader_;
  std::vector<OpenElement> open_;
  mutable std::string watched_;
  mutable size_t watchedOpen_ = 0;
  size_t noSkipBefore_ = 0;  // SkipRest gave up before here
};

}  // namespace dkscr
