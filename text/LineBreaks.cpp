#include "text/LineBreaks.h"

namespace dkscr {
namespace {

// The whole text in one piece, into a string of the length it will have.
template <typename Char>
std::basic_string<Char> Rewrite(std::basic_string_view<Char> text, int style, bool lineSeparator,
                                size_t resultLength) {
  std::basic_string<Char> out;
  out.reserve(resultLength);
  bool pendingCr = false;
  RewriteLineBreaks(text, style, lineSeparator, pendingCr, out);
  return out;
}

template <typename Char>
size_t BreakLength(std::basic_string_view<Char> text, int style, bool lineSeparator) {
  size_t length = text.size();
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    const Char c = text[i];
    if (c == Char('\r') && i + 1 < n && text[i + 1] == Char('\n')) {
      if (style != kLineBreakCrLf) --length;
      ++i;
    } else if (c == Char('\r') || c == Char('\n') ||
               (lineSeparator && static_cast<char32_t>(c) == 0x2028)) {
      if (style == kLineBreakCrLf) ++length;
    }
  }
  return length;
}

}  // namespace

size_t LineBreakLength(std::string_view bytes, int style) {
  return BreakLength(bytes, style, false);
}

std::string ConvertLineBreaks(std::string_view bytes, int style) {
  return Rewrite(bytes, style, false, LineBreakLength(bytes, style));
}

std::u16string ConvertLineBreaksWide(std::u16string_view text, int style) {
  return Rewrite(text, style, true, BreakLength(text, style, true));
}

}  // namespace dkscr
