#pragma once
// What one .ppt reading may walk and give. A hostile file can list one object thousands of
// times or nest records without end, so the walk is bounded by the document stream's real
// size, far above what any real file needs: records read in pages, and text units met
// (paragraph marks included), whatever the form being made.
#include <cstdint>

namespace dkscr {

struct PptBudget {
  uint64_t records = 0;
  uint64_t units = 0;

  static PptBudget ForStream(uint64_t streamSize) {
    PptBudget budget;
    budget.records = 16 * (streamSize / 8) + 4096;
    budget.units = 16 * streamSize + (1u << 20);
    return budget;
  }
};

}  // namespace dkscr
