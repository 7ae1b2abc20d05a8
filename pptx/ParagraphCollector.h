#pragma once
// Paragraphs of DrawingML text as a markup walk meets them: their text, outline level, bullet
// and hyperlink runs; and the shapes open around them. Shared by every part that holds text.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "xml/MarkupWalker.h"

namespace dkscr {

// A bullet as a paragraph property or a list style level gives it.
struct BulletSpec {
  enum class Kind : unsigned char { kUnset, kNone, kChar, kNumber, kPicture } kind = Kind::kUnset;
  std::string character;  // kChar
  std::string scheme;     // kNumber: the auto-number scheme ("arabicPeriod")
  int startAt = 1;        // kNumber

  bool IsSet() const { return kind != Kind::kUnset; }
  // Takes a bullet element ("buNone", "buChar", "buAutoNum", "buBlip") of a paragraph's
  // properties; other elements change nothing.
  void Take(const MarkupWalker& walker);
};

// A run of a paragraph with a hyperlink on it, as the part writes it.
struct RunLink {
  size_t offset = 0;  // of its text in the paragraph's
  size_t length = 0;
  std::string relationshipId;
  std::string action;  // "ppaction://hlinksldjump" for a jump to a slide
};

// Collects paragraphs as DrawingML writes them: runs and fields joined as they are, a line
// break as "\n".
class ParagraphCollector {
 public:
  // Call for every event before looking at it; returns true when the event was a paragraph's
  // end, with its text in Text(). Empty paragraphs end too. Outside a paragraph only the start
  // of a "p" matters: the other events, most of a part's, are passed over here, inline.
  bool Take(const MarkupWalker& walker, MarkupWalker::Event event) {
    if (depth_ == 0 && (event != MarkupWalker::Event::kStartElement || walker.Local() != "p")) return false;
    return TakeInParagraph(walker, event);
  }
  const std::string& Text() const { return text_; }
  int Level() const { return level_; }  // a:pPr/@lvl
  const BulletSpec& Bullet() const { return bullet_; }
  const std::vector<RunLink>& Links() const { return links_; }

 private:
  // Elements whose "p" children are paragraphs: shape and cell text bodies, SmartArt text,
  // chart rich text.
  static bool IsTextBody(std::string_view local) {
    return local == "txBody" || local == "t" || local == "rich";
  }
  bool TakeInParagraph(const MarkupWalker& walker, MarkupWalker::Event event);
  void TakeStart(const MarkupWalker& walker);

  size_t depth_ = 0;  // the depth of the open paragraph, 0 when none
  std::string text_;
  int level_ = 0;
  BulletSpec bullet_;
  std::vector<RunLink> links_;
  RunLink run_;  // the open run's link, when it has a relationship
  bool runOpen_ = false;
};

struct ShapeFrame {
  size_t depth;
  int ordinal;
  std::string placeholderType;  // "" when the shape is no placeholder
  bool isPlaceholder;
};

// Keeps the text shapes ("sp") open around the current position, so that a paragraph knows
// whose it is.
class ShapeStack {
 public:
  // Only the starts of "sp" and "ph" and the ends of elements matter; other events are passed
  // over inline.
  void Take(const MarkupWalker& walker, MarkupWalker::Event event) {
    if (event == MarkupWalker::Event::kEndElement) {
      if (!shapes_.empty() && walker.Depth() < shapes_.back().depth) shapes_.pop_back();
    } else if (event == MarkupWalker::Event::kStartElement && walker.Local().size() == 2) {
      TakeStart(walker);
    }
  }
  const ShapeFrame* Top() const { return shapes_.empty() ? nullptr : &shapes_.back(); }

 private:
  void TakeStart(const MarkupWalker& walker);

  std::vector<ShapeFrame> shapes_;
  int next_ = 0;
};

bool IsTitlePlaceholder(std::string_view type);
bool IsFooterPlaceholder(std::string_view type);

}  // namespace dkscr
