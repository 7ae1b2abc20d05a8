#include "ppt/PptBlocks.h"

#include <algorithm>
#include <utility>

namespace dkscr {

std::string_view PlaceholderName(int placement) {
  switch (placement) {
    case 0x01: case 0x0D: case 0x11: return "title";  // master title, title, vertical title
    case 0x02: case 0x0E: case 0x12: return "body";   // master body, body, vertical body
    case 0x03: case 0x0F: return "ctrTitle";
    case 0x04: case 0x10: return "subTitle";
    case 0x06: case 0x0C: return "body";  // notes body
    case 0x07: return "dt";
    case 0x08: return "sldNum";
    case 0x09: return "ftr";
    case 0x0A: return "hdr";
    case 0x13: case 0x19: return "obj";
    case 0x14: return "chart";
    case 0x15: return "tbl";
    case 0x16: return "clipArt";
    case 0x17: return "dgm";
    case 0x18: return "media";
    case 0x1A: return "pic";
    default: return "";
  }
}

void AddSlideBlocks(Slide& slide, const std::vector<PieceOrigin>& origins, const std::vector<size_t>& pieceStarts,
                    std::vector<TextParagraph>& shapes, bool (*footer)(int placement)) {
  std::vector<const SlideTable*> tables;
  for (const SlideTable& table : slide.tables) tables.push_back(&table);
  std::stable_sort(tables.begin(), tables.end(),
                   [](const SlideTable* a, const SlideTable* b) { return a->firstParagraph < b->firstParagraph; });
  size_t nextTable = 0;
  size_t covered = 0;  // paragraphs before this one are in a block already
  auto placeTables = [&](size_t upTo) {
    for (; nextTable < tables.size() && tables[nextTable]->firstParagraph <= upTo; ++nextTable) {
      const SlideTable& table = *tables[nextTable];
      if (table.firstParagraph < covered) continue;  // within a table placed already
      SlideBlock block;
      block.type = BlockType::kTable;
      for (const auto& row : table.rows) {
        block.rows.emplace_back();
        for (const std::string& cell : row) block.rows.back().push_back({cell, 1, 1});
      }
      slide.blocks.push_back(std::move(block));
      covered = std::max(covered, table.endParagraph);
    }
  };
  for (size_t k = 0; k < origins.size() && k + 1 < pieceStarts.size(); ++k) {
    const size_t begin = pieceStarts[k];
    const size_t end = std::min(pieceStarts[k + 1], slide.paragraphs.size());
    const PieceOrigin& origin = origins[k];
    placeTables(begin);
    // Each block is made where it stays.
    if (origin.objectType) {
      SlideBlock& block = slide.blocks.emplace_back();
      block.type = *origin.objectType;
      block.shapeId = origin.shapeId;
      block.name = origin.name;
      block.mediaType = origin.mediaType;
      block.progId = origin.progId;
      continue;
    }
    if (origin.picture) {
      SlideBlock& block = slide.blocks.emplace_back();
      block.type = BlockType::kPicture;
      block.shapeId = origin.shapeId;
      block.name = origin.name;
      block.alt = origin.description;
      continue;
    }
    if (begin < covered || begin >= end || footer(origin.placement)) continue;
    SlideBlock& block = slide.blocks.emplace_back();
    block.shapeId = origin.shapeId;
    block.name = origin.name;
    if (const std::string_view name = PlaceholderName(origin.placement); !name.empty()) block.placeholder = std::string(name);
    block.paragraphs.reserve(end - begin);
    for (size_t p = begin; p < end; ++p) {
      TextParagraph& paragraph = p < shapes.size() ? block.paragraphs.emplace_back(std::move(shapes[p]))
                                                   : block.paragraphs.emplace_back();
      paragraph.text = slide.paragraphs[p];
      paragraph.index = p;
    }
    block.holdsTitle = slide.titleEnd > slide.titleBegin && begin == slide.titleBegin;
    covered = end;
  }
  placeTables(SIZE_MAX);
  if (!slide.diagrams.empty()) {
    SlideBlock block;
    block.type = BlockType::kDiagram;
    for (const std::string& text : slide.diagrams) block.items.push_back({text, 0});
    slide.blocks.push_back(std::move(block));
  }
}

}  // namespace dkscr
