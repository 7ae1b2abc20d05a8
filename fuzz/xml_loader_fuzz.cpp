// The XML reader on arbitrary bytes: loading, the slide text walk and the attribute lines of
// every element, without crash, leak or unbounded work; and the tree's links stay consistent.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "pptx/RunText.h"
#include "xml/XmlTree.h"
#include "xml/detail/TagSyntax.h"

namespace {

// Visits every element without recursion and checks parent links and child counts.
void CheckTree(const dkscr::XmlElement& root) {
  const dkscr::XmlElement* item = &root;
  for (;;) {
    int children = 0;
    for (const dkscr::XmlElement* c = item->FirstChild(); c != nullptr; c = c->NextSibling()) {
      if (c->Parent() != item) std::abort();
      ++children;
    }
    if (children != item->ChildCount()) std::abort();
    // Every line is made from the tag's text; making them must not fail.
    if (item->Attributes().Lines().size() != item->Attributes().Count()) std::abort();
    if (item->FirstChild() != nullptr) {
      item = item->FirstChild();
      continue;
    }
    while (item != &root && item->NextSibling() == nullptr) item = item->Parent();
    if (item == &root) return;
    item = item->NextSibling();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  dkscr::XmlTree doc;
  doc.LoadFromStream(bytes);
  CheckTree(doc.Root());
  const std::string text = dkscr::SlideText(doc.Root());
  // Loading again replaces the tree and gives the same text.
  doc.LoadFromStream(bytes);
  if (dkscr::SlideText(doc.Root()) != text) std::abort();
  // Decoding only ever shortens.
  if (dkscr::DecodeEscapes(bytes).size() > bytes.size()) std::abort();
  return 0;
}
