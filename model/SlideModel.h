#pragma once
// What a reader sees in a presentation, slide by slide in show order. Both readers fill it and
// every output form is made from it. Texts are UTF-8.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace dkscr {

struct SlideTable {
  std::vector<std::vector<std::string>> rows;  // cell texts; merged-away cells stay as ""
  // The table's paragraphs in Slide::paragraphs: [firstParagraph, endParagraph).
  size_t firstParagraph = 0;
  size_t endParagraph = 0;
};

// A text that many items show, held once however often it is shown (a comment's author).
class SharedText {
 public:
  SharedText() = default;
  SharedText(std::string text) : text_(std::make_shared<const std::string>(std::move(text))) {}  // NOLINT
  SharedText(const char* text) : SharedText(std::string(text)) {}  // NOLINT
  const std::string& str() const {
    static const std::string kEmpty;
    return text_ ? *text_ : kEmpty;
  }
  operator std::string_view() const { return str(); }  // NOLINT
  friend bool operator==(const SharedText& a, std::string_view b) { return a.str() == b; }

 private:
  std::shared_ptr<const std::string> text_;
};

struct SlideComment {
  SharedText author;
  std::string text;
};

struct Slide {
  int number = 0;  // 1-based position in the show
  bool hidden = false;
  std::string title;                    // the title placeholder's paragraphs, joined by "\n"
  std::vector<std::string> paragraphs;  // every non-empty paragraph, in document order
  std::vector<std::string> notes;
  std::vector<SlideTable> tables;
  std::vector<std::string> diagrams;
  std::vector<std::string> charts;
  std::vector<SlideComment> comments;
  // Header, footer and date texts of the slide (also among its paragraphs) and of its notes
  // page (not among the notes).
  std::vector<std::string> footers;
  std::vector<std::string> notesFooters;
  // The title's paragraphs in `paragraphs`: [titleBegin, titleEnd), empty when none.
  size_t titleBegin = 0;
  size_t titleEnd = 0;
};

struct SlideDeck {
  std::vector<Slide> slides;
  // Text the file holds on no slide of the show: a notes page whose slide is gone, a slide
  // part the presentation does not list.
  std::vector<std::string> orphans;
  // What a form may write of this deck, set by the reader from what the file holds
  // (ModelBudget::OutputBound); past it a form fails as the reading would.
  uint64_t outputBound = UINT64_MAX;
};

}  // namespace dkscr
