#include "core/KelCvtBase.h"

namespace dkscr {
namespace {

template <typename Char>
void AppendBreak(std::basic_string<Char>& out, int style) {
  if (style == kLineBreakLf) {
    out.push_back(Char('\n'));
  } else if (style == kLineBreakCr) {
    out.push_back(Char('\r'));
  } else {
    out.push_back(Char('\r'));
    out.push_back(Char('\n'));
  }
}

// One pass over the text: CR LF is one break, a lone CR or LF is one, and for wide text so is
// U+2028.
template <typename Char>
std::basic_string<Char> Rewrite(std::basic_string_view<Char> text, int style, bool lineSeparator,
                                size_t resultLength) {
  std::basic_string<Char> out;
  out.reserve(resultLength);
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    const Char c = text[i];
    if (c == Char('\r')) {
      if (i + 1 < n && text[i + 1] == Char('\n')) ++i;
      AppendBreak(out, style);
    } else if (c == Char('\n') || (lineSeparator && static_cast<char32_t>(c) == 0x2028)) {
      AppendBreak(out, style);
    } else {
      out.push_back(c);
    }
  }
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
