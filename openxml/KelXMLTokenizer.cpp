#include "openxml/KelXMLTokenizer.h"

#include <cstring>

#include "openxml/KelXMLParams.h"
#include "openxml/KelXMLSyntax.h"

namespace dkscr {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && SameTextAscii(text.substr(0, prefix.size()), prefix);
}

TXMLTokenKind MarkupKind(std::string_view token) {
  if (StartsWithNoCase(token, "<?xml")) return TXMLTokenKind::Declaration;
  if (StartsWithNoCase(token, "<!--")) return TXMLTokenKind::Comment;
  if (token.ends_with("/>")) return TXMLTokenKind::EmptyTag;
  if (token.starts_with("</")) return TXMLTokenKind::EndTag;
  return TXMLTokenKind::StartTag;
}

}  // namespace

TXMLLargeTokenizer::TXMLLargeTokenizer(std::string_view data)
    : FBuffer(new char[data.size() + 1]) {
  if (!data.empty()) std::memcpy(FBuffer.get(), data.data(), data.size());
  FBuffer[data.size()] = '\0';
  const void* zero = std::memchr(FBuffer.get(), 0, data.size() + 1);
  FEnd = static_cast<size_t>(static_cast<const char*>(zero) - FBuffer.get());
}

TXMLTokenKind TXMLLargeTokenizer::NextToken(bool keepSpaces) {
  const char* const buf = FBuffer.get();
  const unsigned char firstKept = keepSpaces ? 0x20 : 0x21;
  while (FPos < FEnd && static_cast<unsigned char>(buf[FPos]) < firstKept) {
    if (buf[FPos] == '\n') ++FLine;
    ++FPos;
  }
  FTokenStart = FPos;
  if (FPos >= FEnd) return FKind = TXMLTokenKind::EndOfInput;

  if (buf[FPos] == '<') {
    const void* close = std::memchr(buf + FPos, '>', FEnd - FPos);
    if (close == nullptr) {
      FPos = FEnd;
      FTokenStart = FEnd;
      return FKind = TXMLTokenKind::EndOfInput;
    }
    FPos = static_cast<size_t>(static_cast<const char*>(close) - buf) + 1;
    return FKind = MarkupKind(RawToken());
  }

  const void* lt = std::memchr(buf + FPos, '<', FEnd - FPos);
  size_t end = lt == nullptr ? FEnd : static_cast<size_t>(static_cast<const char*>(lt) - buf);
  // The text ends after its last significant byte; what follows is white space.
  while (end > FPos && static_cast<unsigned char>(buf[end - 1]) < firstKept) --end;
  FPos = end;
  return FKind = TXMLTokenKind::Text;
}

void TXMLLargeTokenizer::TokenText(std::string& out) const {
  out.assign(RawToken());
  DeleteLineBreakPairs(out);
}

}  // namespace dkscr
