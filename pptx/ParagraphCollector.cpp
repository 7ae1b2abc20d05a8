#include "pptx/ParagraphCollector.h"

namespace dkscr {
namespace {

using Event = MarkupWalker::Event;

// DrawingML has nine outline levels, 0 to 8.
constexpr int kDeepestLevel = 8;

// A small non-negative decimal attribute; `fallback` for anything else.
int SmallNumber(std::string_view text, int fallback, int largest) {
  if (text.empty() || text.size() > 9) return fallback;
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return fallback;
    value = value * 10 + (c - '0');
  }
  return value > largest ? largest : value;
}

}  // namespace

void BulletSpec::Take(const MarkupWalker& walker) {
  const std::string_view local = walker.Local();
  if (local == "buNone") {
    *this = {Kind::kNone, {}, {}, 1};
  } else if (local == "buChar") {
    *this = {Kind::kChar, walker.Reader().Attribute("char"), {}, 1};
  } else if (local == "buAutoNum") {
    *this = {Kind::kNumber, {}, walker.Reader().Attribute("type"),
             SmallNumber(walker.Reader().Attribute("startAt"), 1, 32767)};
  } else if (local == "buBlip") {
    *this = {Kind::kPicture, {}, {}, 1};
  }
}

void ParagraphCollector::TakeStart(const MarkupWalker& walker) {
  const std::string_view local = walker.Local();
  const size_t depth = walker.Depth();
  if (depth_ == 0) {
    if (local == "p" && IsTextBody(walker.Open(1))) {
      depth_ = depth;
      text_.clear();
      level_ = 0;
      bullet_ = {};
      links_.clear();
      runOpen_ = false;
    }
    return;
  }
  if (depth == depth_ + 1) {
    if (local == "br") {
      text_.push_back('\n');
    } else if (local == "pPr") {
      level_ = SmallNumber(walker.Reader().Attribute("lvl"), 0, kDeepestLevel);
    } else if (local == "r" || local == "fld") {
      runOpen_ = true;
      run_ = {text_.size(), 0, {}, {}};
    }
  } else if (depth == depth_ + 2 && walker.Open(1) == "pPr") {
    bullet_.Take(walker);
  } else if (runOpen_ && depth == depth_ + 3 && local == "hlinkClick" && walker.Open(1) == "rPr") {
    run_.relationshipId = walker.Reader().PrefixedAttribute("id");
    run_.action = walker.Reader().Attribute("action");
  }
}

bool ParagraphCollector::TakeInParagraph(const MarkupWalker& walker, Event event) {
  switch (event) {
    case Event::kStartElement:
      TakeStart(walker);
      return false;
    case Event::kText:
      if (depth_ != 0 && walker.Open() == "t" && (walker.Open(1) == "r" || walker.Open(1) == "fld")) {
        text_ += walker.Reader().Text();
      }
      return false;
    case Event::kEndElement:
      if (depth_ == 0) return false;
      if (runOpen_ && walker.Depth() == depth_) {
        runOpen_ = false;
        if (!run_.relationshipId.empty() && text_.size() > run_.offset) {
          run_.length = text_.size() - run_.offset;
          links_.push_back(std::move(run_));
        }
      }
      if (walker.Depth() < depth_) {
        depth_ = 0;
        return true;
      }
      return false;
    case Event::kEnd:
      return false;
  }
  return false;
}

void ShapeStack::TakeStart(const MarkupWalker& walker) {
  const std::string_view local = walker.Local();
  if (local == "sp") {
    shapes_.push_back({walker.Depth(), next_++, {}, false});
  } else if (local == "ph" && !shapes_.empty() && walker.Open(1) == "nvPr") {
    shapes_.back().isPlaceholder = true;
    shapes_.back().placeholderType = walker.Reader().Attribute("type");
  }
}

bool IsTitlePlaceholder(std::string_view type) { return type == "title" || type == "ctrTitle"; }
bool IsFooterPlaceholder(std::string_view type) { return type == "ftr" || type == "hdr" || type == "dt"; }

}  // namespace dkscr
