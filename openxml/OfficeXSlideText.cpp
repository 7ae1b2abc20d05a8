#include "openxml/OfficeXSlideText.h"

#include <vector>

#include "openxml/KelXMLParser.h"

namespace dkscr {
namespace {

constexpr std::string_view kRunText = "a:t";
constexpr std::string_view kParagraph = "a:p";

}  // namespace

void AppendSlideText(const TXMLItem& element, std::string& out) {
  // An explicit stack of (element, next child) instead of recursion: slide parts are input,
  // and their nesting depth is whatever the file says.
  struct Frame {
    const TXMLItem* item;
    int next;
  };
  std::vector<Frame> stack;
  if (element.Name() == kRunText) out += element.Text();
  stack.push_back({&element, 0});
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (top.next < top.item->SubItemCount()) {
      const TXMLItem* child = top.item->SubItem(top.next++);
      if (child->Name() == kRunText) out += child->Text();
      stack.push_back({child, 0});
    } else {
      if (top.item->Name() == kParagraph) out += "\r\n";
      stack.pop_back();
    }
  }
}

std::string SlideText(const TXMLItem& element) {
  std::string out;
  AppendSlideText(element, out);
  return out;
}

}  // namespace dkscr
