#pragma once
// How the reader takes tags and character data apart: element names, attribute lists,
// escapes and the line-break pairs dropped from every token.
#include <string>
#include <string_view>

#include "openxml/KelXMLParams.h"

namespace dkscr {

// The name in a start or empty-element tag: after "<", up to the first space, else up to the
// first "/", else up to the closing ">". Only the space separates a name from its attributes.
std::string TagName(std::string_view token);

// The attributes of a tag as name=value lines. Spaces outside double quotes separate them;
// the byte just before the closing ">" (or "/>") is never looked at, so it stays in the last
// value. Values lose one pair of surrounding double quotes when longer than two bytes and
// have their escapes decoded.
TXMLParams ParseParams(std::string_view token);
// The text ParseParams works on: after the first space, before the first ">" and a "/" just
// before it. Empty when the tag has no space.
std::string_view ParamsBodyOf(std::string_view token);
// False when no attribute line made from this text can read xml:space=preserve.
bool MayPreserveSpace(std::string_view body);
// The same from the text between the first space and the closing ">" or "/>".
TXMLParams ParseParamsBody(std::string_view body);

// "<br/>", "&lt;", "&gt;", "&quot;" and "&amp;", each replaced over the whole string in this
// order; numeric references and "&apos;" stay as written.
std::string DecodeEscapes(std::string_view text);
// The same in place (every replacement is shorter than what it replaces).
void DecodeEscapesInPlace(std::string& text);
// The same for text[begin..], leaving the bytes before it alone.
void DecodeEscapesTail(std::string& text, size_t begin);
// Position of the first byte of the first escape, or npos.
size_t FindEscape(std::string_view text);

// A token as the tree builder sees it: every CR LF pair deleted, then every LF CR pair.
void DeleteLineBreakPairs(std::string& token);

// Without the leading and trailing bytes of value 0x20 or below.
std::string_view TrimControl(std::string_view text);

}  // namespace dkscr
