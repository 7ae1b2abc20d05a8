#pragma once
// Shortcuts of the XML syntax that only the tree builder takes: they let it skip work on
// tags and text without changing what the public syntax functions give. Included by the
// loader's own sources only.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "xml/XmlAttributes.h"

namespace dkscr {

// The text ParseAttributes works on: after the first space, before the first ">" and a "/" just
// before it. Empty when the tag has no space.
std::string_view AttributesBodyOf(std::string_view token);
// False when no attribute line made from this text can read xml:space=preserve.
bool MayPreserveSpace(std::string_view body);
// Whether the five bytes before the "=" at `eq` read "space", ASCII case ignored; they must
// be readable. Setting bit 0x20 turns exactly the capitals of these letters into the small
// ones and leaves the small ones alone.
inline bool SpaceBeforeEquals(const char* eq) {
  uint32_t word = 0;
  std::memcpy(&word, eq - 5, 4);
  uint32_t spac = 0;
  std::memcpy(&spac, "spac", 4);
  return (word | 0x20202020u) == spac && (eq[-1] | 0x20) == 'e';
}
// ParseAttributes from the text AttributesBodyOf gives.
XmlAttributes ParseAttributesBody(std::string_view body);

// DecodeEscapes in place (every replacement is shorter than what it replaces).
void DecodeEscapesInPlace(std::string& text);
// The same for text[begin..], leaving the bytes before it alone.
void DecodeEscapesTail(std::string& text, size_t begin);
// Position of the first byte of the first escape, or npos.
size_t FindEscape(std::string_view text);

// A token as the tree builder sees it: every CR LF pair deleted, then every LF CR pair.
void DeleteLineBreakPairs(std::string& token);

}  // namespace dkscr
