#pragma once
// What one .pptx conversion may decode. A package of a few hundred kilobytes can declare
// gigabytes of slide XML, so the whole conversion is bounded by the package's real size, as
// the .ppt reader bounds its output by its stream's size; absolute caps keep the largest
// honest package within memory. Real decks stay far below: their slide XML is at most about
// 1.2 bytes per package byte and they hold under 0.1 tags per package byte.
#include <algorithm>
#include <cstdint>

namespace dkscr {

struct PptxBudget {
  // Each slide part is held whole, as bytes and as an element tree of about 250 bytes per
  // tag, so one slide may not pass these.
  static constexpr uint64_t kSlideBytesCap = uint64_t{32} << 20;
  static constexpr uint64_t kSlideTagsCap = uint64_t{1} << 18;

  uint64_t slideBytes = 0;  // inflated bytes of all slide parts
  uint64_t tags = 0;        // "<" bytes in all slide parts: an upper bound of their elements
  uint64_t textBytes = 0;   // collected text, with its line breaks as CR LF
  // Parts the slide model reads by name, shared parts counted each time: four times what
  // the package's entries declare, and a megabyte.
  uint64_t partBytes = 0;

  static PptxBudget ForPackage(uint64_t packageSize, uint64_t declaredBytes) {
    const auto bound = [&](uint64_t floor, uint64_t perByte, uint64_t cap) {
      return std::min(cap, floor + std::min(packageSize, cap) * perByte);
    };
    PptxBudget budget;
    budget.slideBytes = bound(uint64_t{16} << 20, 64, uint64_t{256} << 20);
    budget.tags = bound(uint64_t{1} << 20, 4, uint64_t{16} << 20);
    // Encoding into UTF-16 holds about eight bytes per byte of this at once.
    budget.textBytes = bound(uint64_t{16} << 20, 64, uint64_t{40} << 20);
    budget.partBytes = 4 * declaredBytes + (1u << 20);
    return budget;
  }
};

}  // namespace dkscr
