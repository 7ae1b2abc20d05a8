#pragma once
// The text of a slide's element tree: the character data of its text runs, one line per
// paragraph.
#include <string>

namespace dkscr {

class XmlElement;

// Depth first in document order: an "a:t" element gives its Text, an "a:p" element ends with
// CR LF after everything below it; nothing else gives text. Names match byte for byte.
std::string SlideText(const XmlElement& element);
// The same, appended to `out`.
void AppendRunText(const XmlElement& element, std::string& out);

}  // namespace dkscr
