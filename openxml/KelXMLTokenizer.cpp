#include "openxml/KelXMLTokenizer.h"

#include <cstring>

#include "openxml/KelXMLTokenScan.h"
#include "openxml/XmlLoaderInternals.h"

namespace dkscr {

TXMLLargeTokenizer::TXMLLargeTokenizer(std::string_view data)
    : FBuffer(new char[data.size() + kBufferPadding]) {
  FData = FBuffer.get();
  if (!data.empty()) std::memcpy(FBuffer.get(), data.data(), data.size());
  std::memset(FBuffer.get() + data.size(), 0, kBufferPadding);
  const void* zero = std::memchr(FBuffer.get(), 0, data.size() + 1);
  FEnd = static_cast<size_t>(static_cast<const char*>(zero) - FBuffer.get());
}

TXMLTokenKind TXMLLargeTokenizer::NextToken(bool keepSpaces) { return ReadToken(keepSpaces); }

void TXMLLargeTokenizer::TokenText(std::string& out) const {
  out.assign(RawToken());
  DeleteLineBreakPairs(out);
}

}  // namespace dkscr
