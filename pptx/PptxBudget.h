#pragma once
// What one .pptx conversion may decode, whatever the form. A package of a few hundred
// kilobytes can declare gigabytes of XML, list thousands of entries that share one compressed
// stream, or nest elements without end, so the whole conversion is bounded by the package's
// real size, as the .ppt reader bounds its output by its stream's size; absolute caps keep the
// largest honest package within memory. Every part read counts, each time it is read. Real
// decks stay far below: their slide XML is at most about 1.2 bytes per package byte and they
// hold under 0.1 tags per package byte.
#include <algorithm>
#include <cstdint>

#include "model/ModelBudget.h"

namespace dkscr {

struct PptxBudget {
  // Each part is held whole while it is read, and a slide part of the default text also as an
  // element tree of about 250 bytes per tag, so one part may not pass these.
  static constexpr uint64_t kSlideBytesCap = uint64_t{32} << 20;
  static constexpr uint64_t kSlideTagsCap = uint64_t{1} << 18;

  uint64_t partBytes = 0;  // inflated bytes of every part read, each time it is read
  uint64_t tags = 0;       // "<" bytes in them: an upper bound of their elements
  uint64_t textBytes = 0;  // the default text, with its line breaks as CR LF
  ModelBudget model;       // the slide model and its forms

  static PptxBudget ForPackage(uint64_t packageSize) {
    const auto bound = [&](uint64_t floor, uint64_t perByte, uint64_t cap) {
      return std::min(cap, floor + std::min(packageSize, cap) * perByte);
    };
    PptxBudget budget;
    budget.partBytes = bound(uint64_t{16} << 20, 64, uint64_t{256} << 20);
    budget.tags = bound(uint64_t{1} << 20, 4, uint64_t{16} << 20);
    // Encoding into UTF-16 holds about eight bytes per byte of this at once.
    budget.textBytes = bound(uint64_t{16} << 20, 64, uint64_t{40} << 20);
    // The model holds a slide's title, its footers and table cells beside its paragraphs.
    budget.model = ModelBudget(bound(uint64_t{16} << 20, 64, uint64_t{192} << 20));
    return budget;
  }
};

}  // namespace dkscr
