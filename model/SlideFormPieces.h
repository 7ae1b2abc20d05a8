#pragma once
// The slide forms a piece at a time, so that a form can be written slide by slide as a reader
// hands the slides over: what comes before the first slide, each slide, what comes after the
// last. The pieces of a form, joined, are the form (SlideFormats.h).
#include <optional>
#include <string>
#include <string_view>

#include "model/FormText.h"
#include "model/SlideModel.h"

namespace dkscr {

// The complete text, UTF-8 with LF line breaks. `first`: no slide was written before.
void AppendCompleteSlide(const Slide& slide, bool first, FormText& out);
void AppendCompleteEnd(const SlideDeck& deck, bool anySlide, FormText& out);

// Markdown; `section` is the section of the slide above, none before the first.
void AppendMarkdownHead(const SlideDeck& deck, FormText& out);
void AppendMarkdownSlide(const Slide& slide, std::optional<std::string>& section, FormText& out);
void AppendMarkdownEnd(const SlideDeck& deck, FormText& out);
// The text as well-formed UTF-8: each maximal ill-formed subpart becomes one U+FFFD, as JSON
// strings and dkscrbatch repair it. Pieces cut where an ASCII character starts repair as
// their whole does.
std::string RepairedUtf8(std::string text);

// RepairedUtf8 over a text given in pieces cut anywhere: the pieces' results joined are the
// whole text's.
class Utf8PieceRepair {
 public:
  std::string Piece(std::string_view bytes);
  // The same, as a view of `bytes` where they need no repair and nothing waits from the piece
  // before (what most pieces are), else of `scratch`.
  std::string_view Piece(std::string_view bytes, std::string& scratch);
  std::string Finish();  // what the last piece left open

 private:
  std::string tail_;  // a sequence the next piece may complete
};

// The JSON members: "schema" to the opening of "slides", each slide, the rest.
void AppendJsonHead(const SlideDeck& deck, FormText& out);
void AppendJsonSlide(const Slide& slide, bool first, FormText& out);
void AppendJsonEnd(const SlideDeck& deck, FormText& out);

}  // namespace dkscr
