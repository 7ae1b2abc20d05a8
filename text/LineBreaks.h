#pragma once
// Line-break styles and the one rewriting of every line break of a text into one of them, for
// whole texts and for texts that come in pieces.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ByteWords.h"

namespace dkscr {

inline constexpr int kLineBreakLf = 0;
inline constexpr int kLineBreakCrLf = 1;
inline constexpr int kLineBreakCr = 2;

size_t LineBreakLength(std::string_view bytes, int style);
// CR LF, lone CR and lone LF each become the style's line break; bytes taken one by one.
std::string ConvertLineBreaks(std::string_view bytes, int style);
// The same on UTF-16, where U+2028 counts as a line break too.
std::u16string ConvertLineBreaksWide(std::u16string_view text, int style);

// The first CR or LF of `text` at or after `from`, or its size: eight bytes at a time, a byte
// equal to CR or LF becoming a zero byte of the word.
inline size_t FindLineBreak(std::string_view text, size_t from) {
  size_t at = from;
  for (; text.size() - at >= sizeof(uint64_t); at += sizeof(uint64_t)) {
    const uint64_t w = LoadWord(text.data() + at);
    if ((HasZeroByte(w ^ BytesOf('\r')) | HasZeroByte(w ^ BytesOf('\n'))) != 0) break;
  }
  while (at < text.size() && text[at] != '\r' && text[at] != '\n') ++at;
  return at;
}

// CR LF is one break, and so is a lone CR or LF (and U+2028 where `lineSeparator` is set);
// each becomes the style's break, appended to `out`. A CR at the end of a piece sets
// `pendingCr`, so that a LF starting the next piece belongs to it.
template <typename Char, typename Out>
void RewriteLineBreaks(std::basic_string_view<Char> text, int style, bool lineSeparator, bool& pendingCr,
                       Out& out) {
  const size_t n = text.size();
  size_t at = 0;
  if (pendingCr && n > 0) {
    pendingCr = false;
    if (text[0] == Char('\n')) at = 1;
  }
  const auto isBreak = [lineSeparator](Char c) {
    return c == Char('\r') || c == Char('\n') || (lineSeparator && static_cast<char32_t>(c) == 0x2028);
  };
  while (at < n) {
    // The run up to the next break goes at once.
    size_t end = at;
    if constexpr (sizeof(Char) == 1) {
      end = FindLineBreak(std::string_view(reinterpret_cast<const char*>(text.data()), n), at);
    } else {
      while (end < n && !isBreak(text[end])) ++end;
    }
    out.append(text.data() + at, end - at);
    if (end == n) break;
    const Char c = text[end];
    if (style != kLineBreakLf) out.push_back(Char('\r'));
    if (style != kLineBreakCr) out.push_back(Char('\n'));
    at = end + 1;
    if (c == Char('\r')) {
      if (at == n) {
        pendingCr = true;  // a LF starting the next piece belongs to it
      } else if (text[at] == Char('\n')) {
        ++at;
      }
    }
  }
}

}  // namespace dkscr
