#include "xml/XmlPullReader.h"

#include <algorithm>
#include <array>
#include <cstring>

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
// Where the ">" that ends the tag whose "<" stands before `at` is: the first one outside
// quoted values (a quote opens a value that only the same quote closes), or npos when the
// input ends first. The ">" after the input's end stops every scan.
#if defined(__SSE2__)
size_t TagClose(const char* buf, size_t at, size_t end) {
  const __m128i gt = _mm_set1_epi8('>');
  const __m128i doubleQuote = _mm_set1_epi8('"');
  const __m128i singleQuote = _mm_set1_epi8('\'');
  char quote = 0;
  for (;; at += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(buf + at));
    const __m128i gtBytes = _mm_cmpeq_epi8(chunk, gt);
    const __m128i doubleBytes = _mm_cmpeq_epi8(chunk, doubleQuote);
    const __m128i singleBytes = _mm_cmpeq_epi8(chunk, singleQuote);
    // Long values (a relationship's target, a namespace) pass by with one test per load.
    if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(gtBytes, doubleBytes), singleBytes)) == 0) {
      continue;
    }
    const unsigned gts = static_cast<unsigned>(_mm_movemask_epi8(gtBytes));
    const unsigned doubles = static_cast<unsigned>(_mm_movemask_epi8(doubleBytes));
    const unsigned singles = static_cast<unsigned>(_mm_movemask_epi8(singleBytes));
    // Sixteen bytes wholly inside the input with only double quotes: a ">" stands outside
    // quotes when the quotes before it, with those of earlier loads, are even in number.
    if (singles == 0 && quote != '\'' && end - at >= 16) {
      const unsigned carry = quote == '"' ? 1u : 0u;
      for (unsigned rest = gts; rest != 0; rest &= rest - 1) {
        const unsigned below = (rest & (0u - rest)) - 1;
        if ((static_cast<unsigned>(__builtin_parity(doubles & below)) ^ carry) == 0) {
          return at + static_cast<size_t>(__builtin_ctz(rest));
        }
      }
      if (__builtin_parity(doubles) != 0) quote = quote == '"' ? 0 : '"';
      continue;
    }
    for (unsigned marks = gts | doubles | singles; marks != 0; marks &= marks - 1) {
      const size_t mark = at + static_cast<size_t>(__builtin_ctz(marks));
      if (mark >= end) return std::string_view::npos;
      const char c = buf[mark];
      if (quote != 0) {
        if (c == quote) quote = 0;
      } else if (c == '>') {
        return mark;
      } else {
        quote = c;
      }
    }
  }
}
#else
size_t TagClose(const char* buf, size_t at, size_t end) {
  char quote = 0;
  for (; at < end; ++at) {
    const char c = buf[at];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '>') {
      return at;
    } else if (c == '"' || c == '\'') {
      quote = c;
    }
  }
  return std::string_view::npos;
}
#endif

// A name that ends within the sixteen bytes at `name`: moves `nameEnd` past it and
// `localStart` past its first ":", both counted from `name`'s offset they hold.
#if defined(__SSE2__)
bool ShortName(const char* name, size_t& nameEnd, size_t& localStart) {
  const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(name));
  const __m128i ends = _mm_or_si128(
      _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(chunk, _mm_set1_epi8(' ')),
                                _mm_cmpeq_epi8(chunk, _mm_set1_epi8('\t'))),
                   _mm_or_si128(_mm_cmpeq_epi8(chunk, _mm_set1_epi8('\r')),
                                _mm_cmpeq_epi8(chunk, _mm_set1_epi8('\n')))),
      _mm_or_si128(_mm_cmpeq_epi8(chunk, _mm_set1_epi8('/')),
                   _mm_cmpeq_epi8(chunk, _mm_set1_epi8('>'))));
  const unsigned endBits = static_cast<unsigned>(_mm_movemask_epi8(ends));
  if (endBits == 0) return false;
  const unsigned size = static_cast<unsigned>(__builtin_ctz(endBits));
  const unsigned colons =
      static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, _mm_set1_epi8(':')))) &
      ((1u << size) - 1);
  if (colons != 0) localStart += static_cast<size_t>(__builtin_ctz(colons)) + 1;
  nameEnd += size;
  return true;
}
#else
bool ShortName(const char*, size_t&, size_t&) { return false; }
#endif

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

// The reader scans the tokenizer's buffer itself: it needs less than the tree builder's scan
// finds (no line breaks, no spaces), and finds the real end of a tag in the same pass.
XmlPullReader::Event XmlPullReader::Next() {
  indexed_ = false;
  if (pendingEnd_) {
    pendingEnd_ = false;
    attributes_ = {};
    return Event::kEndElement;
  }
  XmlTokenizer& tokens = tokenizer_;
  const char* const buf = tokens.data_;
  const size_t end = tokens.end_;
  for (;;) {
    const size_t pos = tokens.pos_;
    tokens.tokenStart_ = pos;
    if (pos >= end) return Event::kEnd;
    if (buf[pos] != '<') {
      const xml_scan::TextScan scan = xml_scan::ScanText(buf, pos);
      const size_t stop = std::min(scan.end, end);
      tokens.pos_ = stop;
      const std::string_view raw(buf + pos, stop - pos);
      text_.clear();
      if (scan.hasAmp) {
        AppendXmlDecoded(raw, text_);
      } else {
        text_.assign(raw);
      }
      return Event::kText;
    }
    const std::string_view rest(buf + pos, end - pos);
    if (buf[pos + 1] == '!' || buf[pos + 1] == '?') {
      // Markup ends at its first ">"; comments and CDATA sections run further.
      const void* gt = std::memchr(buf + pos + 1, '>', end - pos - 1);
      if (gt == nullptr) {
        tokens.pos_ = tokens.tokenStart_ = end;
        return Event::kEnd;
      }
      tokens.pos_ = static_cast<size_t>(static_cast<const char*>(gt) - buf) + 1;
      if (rest.starts_with("<!--")) {
        const size_t close = rest.find("-->", 4);
        if (close == std::string_view::npos) return Event::kEnd;
        tokens.pos_ = pos + close + 3;
        continue;
      }
      if (rest.starts_with("<![CDATA[")) {
        const size_t close = rest.find("]]>", 9);
        if (close == std::string_view::npos) return Event::kEnd;
        text_.assign(rest.substr(9, close - 9));
        tokens.pos_ = pos + close + 3;
        return Event::kText;
      }
      continue;
    }
    // A tag: its ">" is the first one outside quoted attribute values.
    const size_t tagClose = TagClose(buf, pos + 1, end);
    if (tagClose == std::string_view::npos) {
      // Reading would go on after the first ">", as after any markup the input cuts short.
      const void* gt = std::memchr(buf + pos + 1, '>', end - pos - 1);
      tokens.pos_ = gt == nullptr ? end : static_cast<size_t>(static_cast<const char*>(gt) - buf) + 1;
      if (gt == nullptr) tokens.tokenStart_ = end;
      return Event::kEnd;
    }
    tokens.pos_ = tagClose + 1;
    const size_t close = tagClose - pos;
    const bool isEnd = rest[1] == '/';
    const size_t nameStart = isEnd ? 2 : 1;
    // The name and where its prefix ends. The ">" at `close` ends the name at the latest.
    size_t nameEnd = nameStart;
    size_t localStart = nameStart;
    if (!ShortName(rest.data() + nameStart, nameEnd, localStart)) {
      for (; nameEnd < close; ++nameEnd) {
        const char c = rest[nameEnd];
        if (IsNameEnd(c)) break;
        if (c == ':' && localStart == nameStart) localStart = nameEnd + 1;
      }
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

void XmlPullReader::IndexAttributes() const {
  index_.clear();
  indexed_ = true;
  size_t at = 0;
  const std::string_view list = attributes_;
  while (at < list.size()) {
    while (at < list.size() && IsSpace(list[at])) ++at;
    const size_t nameStart = at;
    while (at < list.size() && list[at] != '=' && !IsSpace(list[at])) ++at;
    const size_t nameSize = at - nameStart;
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
    // A value that never closes ends the list: nothing after it is an attribute.
    if (valueEnd == std::string_view::npos) return;
    index_.push_back({nameStart, nameSize, at + 1, valueEnd - at - 1});
    at = valueEnd + 1;
  }
}

template <typename Match>
bool XmlPullReader::FindAttribute(Match match, std::string_view& rawValue) const {
  if (attributes_.empty()) return false;
  if (!indexed_) IndexAttributes();
  for (const AttributeSpan& span : index_) {
    if (match(attributes_.substr(span.nameAt, span.nameSize))) {
      rawValue = attributes_.substr(span.valueAt, span.valueSize);
      return true;
    }
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
