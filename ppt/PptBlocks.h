#pragma once
// The blocks of a binary slide, made from what the reader has put in the slide model: each
// shape's text a text block with its placeholder's name, each table a table block where it
// stands, the diagram texts one diagram block. Header, footer and date stay out of them.
#include <string_view>
#include <vector>

#include "model/SlideModel.h"

namespace dkscr {

// The placeholder's name as Open XML names its kind ("title", "body", "ctrTitle" ...), or ""
// for a placement that has none.
std::string_view PlaceholderName(int placement);

// `placeholders[k]` is the placement of the shape of text piece k (-1: none); the piece's
// paragraphs are [pieceStarts[k], pieceStarts[k + 1]) of slide.paragraphs; `footer` tells the
// placements whose text is the slide's footers. `shapes[p]` gives paragraph p's level, bullet
// and links.
void AddSlideBlocks(Slide& slide, const std::vector<int>& placeholders, const std::vector<size_t>& pieceStarts,
                    const std::vector<TextParagraph>& shapes, bool (*footer)(int placement));

}  // namespace dkscr
