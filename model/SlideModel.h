#pragma once
// What a reader sees in a presentation, slide by slide in show order. Both readers fill it and
// every output form is made from it. Texts are UTF-8.
#include <cstddef>
#include <string>
#include <vector>

namespace dkscr {

struct SlideTable {
  std::vector<std::vector<std::string>> rows;  // cell texts; merged-away cells stay as ""
  // The table's paragraphs in Slide::paragraphs: [firstParagraph, endParagraph).
  size_t firstParagraph = 0;
  size_t endParagraph = 0;
};

struct SlideComment {
  std::string author;
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
};

}  // namespace dkscr
