#pragma once
// The one rewriting of line breaks, for whole texts and for texts that come in pieces.
#include <string_view>

#include "core/KelCvtBase.h"

namespace dkscr {

// CR LF is one break, and so is a lone CR or LF (and U+2028 where `lineSeparator` is set);
// each becomes the style's break, appended to `out`. A CR at the end of a piece sets
// `pendingCr`, so that a LF starting the next piece belongs to it.
template <typename Char, typename Out>
void RewriteLineBreaks(std::basic_string_view<Char> text, int style, bool lineSeparator, bool& pendingCr,
                       Out& out) {
  for (const Char c : text) {
    if (pendingCr) {
      pendingCr = false;
      if (c == Char('\n')) continue;
    }
    if (c == Char('\r') || c == Char('\n') || (lineSeparator && static_cast<char32_t>(c) == 0x2028)) {
      pendingCr = c == Char('\r');
      if (style != kLineBreakLf) out.push_back(Char('\r'));
      if (style != kLineBreakCr) out.push_back(Char('\n'));
    } else {
      out.push_back(c);
    }
  }
}

}  // namespace dkscr
