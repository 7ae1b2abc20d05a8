#pragma once
// How the reader takes tags and character data apart: element names, attribute lists and
// escapes.
#include <string>
#include <string_view>

#include "xml/XmlAttributes.h"

namespace dkscr {

// The name in a start or empty-element tag: after "<", up to the first space, else up to the
// first "/", else up to the closing ">". Only the space separates a name from its attributes.
std::string TagName(std::string_view token);

// The attributes of a tag as name=value lines. Spaces outside double quotes separate them;
// the byte just before the closing ">" (or "/>") is never looked at, so it stays in the last
// value. Values lose one pair of surrounding double quotes when longer than two bytes and
// have their escapes decoded.
XmlAttributes ParseAttributes(std::string_view token);

// "<br/>", "&lt;", "&gt;", "&quot;" and "&amp;", each replaced over the whole string in this
// order; numeric references and "&apos;" stay as written.
std::string DecodeEscapes(std::string_view text);

// Without the leading and trailing bytes of value 0x20 or below.
std::string_view TrimControl(std::string_view text);

}  // namespace dkscr
