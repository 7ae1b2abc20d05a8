#pragma once
#include <string>
#include <string_view>

#include "openxml/KelXMLParser.h"

namespace dkscr::test {

// A document loaded from the given bytes.
struct LoadedXml {
  explicit LoadedXml(std::string_view bytes) { doc.LoadFromStream(std::string(bytes)); }
  TXMLItem& Root() { return doc.Root(); }
  TKelXMLParser doc;
};

inline std::vector<std::string> Lines(const TXMLParams& params) { return params.Lines(); }

}  // namespace dkscr::test
