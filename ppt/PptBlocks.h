#pragma once
// The blocks of a binary slide, made from what the reader has put in the slide model: each
// shape's text a text block with its placeholder's name, each table a table block where it
// stands, the diagram texts one diagram block. Header, footer and date stay out of them.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/SlideModel.h"

namespace dkscr {

// The placeholder's name as Open XML names its kind ("title", "body", "ctrTitle" ...), or ""
// for a placement that has none.
std::string_view PlaceholderName(int placement);

// Where a piece of a slide's text comes from: its shape's placement (-1: none), id and name,
// and for a picture (a piece of no text) its description.
struct PieceOrigin {
  int placement = -1;
  std::optional<uint32_t> shapeId;
  std::optional<std::string> name;
  std::optional<std::string> description;
  bool picture = false;
  // A shape showing an embedded or linked object: kMedia or kOle, and what the document's
  // list says of it.
  std::optional<BlockType> objectType;
  std::optional<std::string> mediaType;
  std::optional<std::string> progId;
};

// `origins[k]` tells where text piece k comes from; the piece's
// paragraphs are [pieceStarts[k], pieceStarts[k + 1]) of slide.paragraphs; `footer` tells the
// placements whose text is the slide's footers. `shapes[p]` gives paragraph p's level, bullet
// and links; the blocks take them over.
void AddSlideBlocks(Slide& slide, const std::vector<PieceOrigin>& origins, const std::vector<size_t>& pieceStarts,
                    std::vector<TextParagraph>& shapes, bool (*footer)(int placement));

}  // namespace dkscr
