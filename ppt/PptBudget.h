#pragma once
// What one .ppt reading may walk and give. A hostile file can list one object thousands of
// times or nest records without end, so the walk is bounded by the document stream's real
// size, far above what any real file needs: records read in pages, and text units met
// (paragraph marks included), whatever the form being made; and what the slide model holds,
// which keeps what the default text only passes on.
#include <algorithm>
#include <cstdint>

#include "model/ModelBudget.h"

namespace dkscr {

struct PptBudget {
  uint64_t records = 0;
  uint64_t units = 0;
  ModelBudget model;

  static PptBudget ForStream(uint64_t streamSize) {
    PptBudget budget;
    budget.records = 16 * (streamSize / 8) + 4096;
    budget.units = 16 * streamSize + (1u << 20);
    // A real file's text is at most its stream, held in the model with a slide's title and
    // table cells beside its paragraphs and once more in the slide's blocks, as UTF-8 of up to
    // one and a half bytes per byte.
    budget.model = ModelBudget(std::min(uint64_t{192} << 20, (uint64_t{16} << 20) + 6 * streamSize));
    return budget;
  }
};

}  // namespace dkscr
