#include "openxml/KelXMLTokenizer.h"

#include <cstring>

#include "openxml/KelXMLParams.h"
#include "openxml/KelXMLSyntax.h"

namespace dkscr {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && SameTextAscii(text.substr(0, prefix.size()), prefix);
}

// Bytes at which the markup scan stops.
struct MarkupByteTable {
  bool stop[256] = {};
  constexpr MarkupByteTable() {
    for (unsigned char c : {'>', '\n', ' ', '\0'}) stop[c] = true;
  }
};
constexpr MarkupByteTable kMarkupBytes;

TXMLTokenKind MarkupKind(std::string_view token) {
  if (token.size() > 1 && token[1] == '?' && StartsWithNoCase(token, "<?xml")) {
    return TXMLTokenKind::Declaration;
  }
  if (token.size() > 1 && token[1] == '!' && StartsWithNoCase(token, "<!--")) {
    return TXMLTokenKind::Comment;
  }
  if (token.ends_with("/>")) return TXMLTokenKind::EmptyTag;
  if (token.starts_with("</")) return TXMLTokenKind::EndTag;
  return TXMLTokenKind::StartTag;
}

}  // namespace

TXMLLargeTokenizer::TXMLLargeTokenizer(std::string_view data)
    : FBuffer(new char[data.size() + 1]) {
  FData = FBuffer.get();
  if (!data.empty()) std::memcpy(FBuffer.get(), data.data(), data.size());
  FBuffer[data.size()] = '\0';
  const void* zero = std::memchr(FBuffer.get(), 0, data.size() + 1);
  FEnd = static_cast<size_t>(static_cast<const char*>(zero) - FBuffer.get());
  const void* lf = std::memchr(FData, '\n', FEnd);
  FNextLf = lf == nullptr ? FEnd : static_cast<size_t>(static_cast<const char*>(lf) - FData);
}

TXMLTokenKind TXMLLargeTokenizer::NextToken(bool keepSpaces) {
  const char* const buf = FData;
  const unsigned char firstKept = keepSpaces ? 0x20 : 0x21;
  while (FPos < FEnd && static_cast<unsigned char>(buf[FPos]) < firstKept) {
    if (buf[FPos] == '\n') ++FLine;
    ++FPos;
  }
  FTokenStart = FPos;
  if (FPos >= FEnd) return FKind = TXMLTokenKind::EndOfInput;

  if (buf[FPos] == '<') {
    // The name is short: a byte loop finds its end at the first space or ">". The rest of
    // the tag is searched with memchr for the ">" and then for any LF. The zero byte after
    // the input stops the byte loop too.
    size_t firstSpace = std::string::npos;
    size_t close = FPos + 1;
    while (!kMarkupBytes.stop[static_cast<unsigned char>(buf[close])]) ++close;
    if (buf[close] == ' ') {
      firstSpace = close - FPos;
      const void* found = std::memchr(buf + close, '>', FEnd - close);
      close = found == nullptr ? FEnd : static_cast<size_t>(static_cast<const char*>(found) - buf);
    } else if (buf[close] == '\n') {
      const void* found = std::memchr(buf + close, '>', FEnd - close);
      close = found == nullptr ? FEnd : static_cast<size_t>(static_cast<const char*>(found) - buf);
      if (close < FEnd) {
        const void* space = std::memchr(buf + FPos, ' ', close - FPos);
        if (space != nullptr) firstSpace = static_cast<size_t>(static_cast<const char*>(space) - buf) - FPos;
      }
    }
    // The next LF of the input is looked up only once it has been passed, so tags cost no
    // extra scan for line breaks they hardly ever hold.
    if (FNextLf < FPos) {
      const void* lf = std::memchr(buf + FPos, '\n', FEnd - FPos);
      FNextLf = lf == nullptr ? FEnd : static_cast<size_t>(static_cast<const char*>(lf) - buf);
    }
    const bool hasLf = FNextLf < close;
    if (close >= FEnd) {
      FPos = FEnd;
      FTokenStart = FEnd;
      return FKind = TXMLTokenKind::EndOfInput;
    }
    FTokenHasLf = hasLf;
    FFirstSpace = firstSpace;
    FPos = close + 1;
    return FKind = MarkupKind(RawToken());
  }

  FTokenHasLf = true;  // text is rare enough to be checked when it is copied
  const void* lt = std::memchr(buf + FPos, '<', FEnd - FPos);
  size_t end = lt == nullptr ? FEnd : static_cast<size_t>(static_cast<const char*>(lt) - buf);
  // The text ends after its last significant byte; what follows is white space.
  while (end > FPos && static_cast<unsigned char>(buf[end - 1]) < firstKept) --end;
  FPos = end;
  return FKind = TXMLTokenKind::Text;
}

std::string_view TXMLLargeTokenizer::TokenView(std::string& scratch) const {
  if (!FTokenHasLf) return RawToken();
  TokenText(scratch);
  return scratch;
}

void TXMLLargeTokenizer::TokenText(std::string& out) const {
  out.assign(RawToken());
  DeleteLineBreakPairs(out);
}

}  // namespace dkscr
