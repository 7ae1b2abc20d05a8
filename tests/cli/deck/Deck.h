#pragma once
// Presentations made by the project itself: the bundled samples, fixtures of the program's
// tests and the large deck of the benchmark, written as .ppt or .pptx with the test-side
// writers, together with the text dkscrcmd should extract from them.
#include <string>
#include <vector>

namespace dkscr::test {

struct DeckSlide {
  std::vector<std::u16string> paragraphs;  // one text box; paragraphs in order
  std::u16string notes;                    // empty: the slide has no notes page
};

using Deck = std::vector<DeckSlide>;

// A few slides of text and notes, with characters beyond ASCII (all in code page 1252).
Deck SampleDeck();
// `slides` slides of a few paragraphs each, with notes on every other slide.
Deck LargeDeck(int slides);

// Whole files.
std::string MakePptFile(const Deck& deck);
std::string MakePptxFile(const Deck& deck);

// The UTF-16 text the converters produce, before encoding: for .ppt the slides' text boxes,
// then the notes pages, each text ending in a line break; for .pptx a "slideN:" line and one
// line per paragraph for every slide (notes are not read). Line breaks are CR LF.
std::u16string ExpectedPptText(const Deck& deck);
std::u16string ExpectedPptxText(const Deck& deck);

}  // namespace dkscr::test
