#include "pptx/RunText.h"

#include "xml/XmlTree.h"

namespace dkscr {
namespace {

constexpr std::string_view kRunText = "a:t";
constexpr std::string_view kParagraph = "a:p";

}  // namespace

void AppendRunText(const XmlElement& element, std::string& out) {
  // Walks down by first children and back up by parents instead of recursing: slide parts
  // are input, and their nesting depth is whatever the file says.
  const XmlElement* item = &element;
  if (item->Name() == kRunText) out += item->Text();
  for (;;) {
    if (const XmlElement* child = item->FirstChild()) {
      item = child;
      if (item->Name() == kRunText) out += item->Text();
      continue;
    }
    // Leave every element that has no further sibling, ending its paragraph.
    while (item != &element && item->NextSibling() == nullptr) {
      if (item->Name() == kParagraph) out += "\r\n";
      item = item->Parent();
    }
    if (item == &element) {
      if (item->Name() == kParagraph) out += "\r\n";
      return;
    }
    if (item->Name() == kParagraph) out += "\r\n";
    item = item->NextSibling();
    if (item->Name() == kRunText) out += item->Text();
  }
}

std::string SlideText(const XmlElement& element) {
  std::string out;
  AppendRunText(element, out);
  return out;
}

}  // namespace dkscr
