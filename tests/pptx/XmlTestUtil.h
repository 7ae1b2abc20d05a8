#pragma once
#include <string>
#include <string_view>

#include "xml/XmlTree.h"

namespace dkscr::test {

// A document loaded from the given bytes.
struct LoadedXml {
  explicit LoadedXml(std::string_view bytes) { doc.LoadFromStream(std::string(bytes)); }
  XmlElement& Root() { return doc.Root(); }
  XmlTree doc;
};

}  // namespace dkscr::test
