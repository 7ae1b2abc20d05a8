#include "xml/XmlPullReader.h"

#include <algorithm>
#include <array>

#include "platform/Utf.h"
#include "xml/detail/TokenizerScan.h"

namespace dkscr {
namespace {

constexpr std::array<bool, 256> MakeNameEnds() {
  std::array<bool, 256> ends{};
  for (const unsigned char c : {' ', '\t', '\r', '\n', '/', '>'}) ends[c] = true;
  return ends;
}
constexpr std::array<bool, 256> kNameEnds = MakeNameEnds();
bool IsNameEnd(char c) { return kNameEnds[static_cast<unsigned char>(c)]; }
// Where the ">" that ends a tag stands: the first one outside quoted values, or the size.
// Jumps from quote to quote with memchr-backed finds: tags are most of a part's bytes.
size_t TagEnd(std::string_view tag) {
  size_t at = 1;
  size_t close = std::min(tag.find('>', at), tag.size());
  for (;;) {
    const std::string_view before = tag.substr(at, close - at);
    const size_t quote = std::min(before.find('"'), before.find('\''));
    if (quote == std::string_view::npos) return close;
    const size_t match = tag.find(before[quote], at + quote + 1);
    if (match == std::string_view::npos) return tag.size();
    at = match + 1;
    if (close < at) close = std::min(tag.find('>', at), tag.size());
  }
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The value of a numeric reference body ("#65", "#x41"), or 0 when it is none or no scalar value.
char32_t NumericReference(std::string_view body) {
  if (body.size() < 2 || body[0] != '#') return 0;
  const bool hex = body[1] == 'x' || body[1] == 'X';
  const std::string_view digits = body.substr(hex ? 2 : 1);
  if (digits.empty() || digits.size() > 8) return 0;
  char32_t value = 0;
  for (char c : digits) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return 0;
    value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
  }
  if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  return value;
}

}  // namespace

std::string_view XmlLocalName(std::string_view qualifiedName) {
  const size_t colon = qualifiedName.find(':');
  return colon == std::string_view::npos ? qualifiedName : qualifiedName.substr(colon + 1);
}

void AppendXmlDecoded(std::string_view raw, std::string& out) {
  size_t at = 0;
  while (at < raw.size()) {
    const size_t amp = raw.find('&', at);
    if (amp == std::string_view::npos) {
      out.append(raw.substr(at));
      return;
    }
    out.append(raw.substr(at, amp - at));
    const size_t semi = raw.find(';', amp + 1);
    // References are short; a far semicolon belongs to something else.
    if (semi == std::string_view::npos || semi - amp > 12) {
      out.push_back('&');
      at = amp + 1;
      continue;
    }
    const std::string_view body = raw.substr(amp + 1, semi - amp - 1);
    if (body == "lt") out.push_back('<');
    else if (body == "gt") out.push_back('>');
    else if (body == "amp") out.push_back('&');
    else if (body == "quot") out.push_back('"');
    else if (body == "apos") out.push_back('\'');
    else if (const char32_t value = NumericReference(body); value != 0) AppendUtf8(value, out);
    else {
      out.append(raw.substr(amp, semi + 1 - amp));
    }
    at = semi + 1;
  }
}

XmlPullReader::XmlPullReader(std::string_view data) : tokenizer_(data) {}

XmlPullReader::Event XmlPullReader::Next() {
  if (pendingEnd_) {
    pendingEnd_ = false;
    attributes_ = {};
    return Event::kEndElement;
  }
  for (;;) {
    const XmlToken kind = tokenizer_.ReadExactToken();
    if (kind == XmlToken::kEndOfInput) return Event::kEnd;
    if (kind == XmlToken::kText) {
      text_.clear();
      if (tokenizer_.TextMayHoldEscape()) {
        AppendXmlDecoded(tokenizer_.RawToken(), text_);
      } else {
        text_.assign(tokenizer_.RawToken());
      }
      return Event::kText;
    }
    // The tokenizer ends markup at its first ">"; comments and CDATA sections run further.
    const std::string_view rest = tokenizer_.Rest();
    if (rest.starts_with("<!--")) {
      const size_t close = rest.find("-->", 4);
      if (close == std::string_view::npos) return Event::kEnd;
      tokenizer_.ExtendToken(close + 3);
      continue;
    }
    if (rest.starts_with("<![CDATA[")) {
      const size_t close = rest.find("]]>", 9);
      if (close == std::string_view::npos) return Event::kEnd;
      text_.assign(rest.substr(9, close - 9));
      tokenizer_.ExtendToken(close + 3);
      return Event::kText;
    }
    if (rest.starts_with("<?") || rest.starts_with("<!")) continue;
    // A tag: its ">" is the first one outside quoted attribute values, which is where the
    // tokenizer stopped unless a value holds one.
    size_t close = tokenizer_.RawToken().size() - 1;
    if (const size_t end = TagEnd(rest); end != close) {
      if (end >= rest.size()) return Event::kEnd;
      close = end;
      tokenizer_.ExtendToken(close + 1);
    }
    const bool isEnd = rest.size() > 1 && rest[1] == '/';
    const size_t nameStart = isEnd ? 2 : 1;
    // The name and, in the same pass, where its prefix ends.
    size_t nameEnd = nameStart;
    size_t localStart = nameStart;
    for (; nameEnd < close; ++nameEnd) {
      const char c = rest[nameEnd];
      if (IsNameEnd(c)) break;
      if (c == ':' && localStart == nameStart) localStart = nameEnd + 1;
    }
    name_ = rest.substr(nameStart, nameEnd - nameStart);
    localName_ = rest.substr(localStart, nameEnd - localStart);
    if (isEnd) {
      attributes_ = {};
      return Event::kEndElement;
    }
    const bool empty = rest[close - 1] == '/' && close - 1 >= nameEnd;
    attributes_ = rest.substr(nameEnd, (empty ? close - 1 : close) - nameEnd);
    pendingEnd_ = empty;
    return Event::kStartElement;
  }
}

template <typename Match>
bool XmlPullReader::FindAttribute(Match match, std::string_view& rawValue) const {
  size_t at = 0;
  const std::string_view list = attributes_;
  while (at < list.size()) {
    while (at < list.size() && IsSpace(list[at])) ++at;
    const size_t nameStart = at;
    while (at < list.size() && list[at] != '=' && !IsSpace(list[at])) ++at;
    const std::string_view name = list.substr(nameStart, at - nameStart);
    while (at < list.size() && IsSpace(list[at])) ++at;
    if (at >= list.size() || list[at] != '=') {
      if (at == nameStart) ++at;  // a stray byte: step over it
      continue;
    }
    ++at;
    while (at < list.size() && IsSpace(list[at])) ++at;
    if (at >= list.size() || (list[at] != '"' && list[at] != '\'')) continue;
    const char quote = list[at];
    const size_t valueEnd = list.find(quote, at + 1);
    if (valueEnd == std::string_view::npos) return false;
    if (match(name)) {
      rawValue = list.substr(at + 1, valueEnd - at - 1);
      return true;
    }
    at = valueEnd + 1;
  }
  return false;
}

std::string XmlPullReader::Attribute(std::string_view qualifiedName) const {
  std::string_view raw;
  std::string value;
  if (FindAttribute([&](std::string_view name) { return name == qualifiedName; }, raw)) {
    AppendXmlDecoded(raw, value);
  }
  return value;
}

std::string XmlPullReader::PrefixedAttribute(std::string_view localName) const {
  std::string_view raw;
  std::string value;
  const auto match = [&](std::string_view name) {
    const size_t colon = name.find(':');
    return colon != std::string_view::npos && name.substr(colon + 1) == localName;
  };
  if (FindAttribute(match, raw)) AppendXmlDecoded(raw, value);
  return value;
}

bool XmlPullReader::HasAttribute(std::string_view qualifiedName) const {
  std::string_view raw;
  return FindAttribute([&](std::string_view name) { return name == qualifiedName; }, raw);
}

}  // namespace dkscr
