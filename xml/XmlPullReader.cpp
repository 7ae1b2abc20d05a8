#include "xml/XmlPullReader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "platform/Utf.h"
#include "xml/detail/PullScan.h"

namespace dkscr {
namespace {

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

// Whether `name` is one of `names`, first bytes compared first: most tags are none.
bool IsOneOf(std::string_view name, std::span<const std::string_view> names) {
  for (const std::string_view candidate : names) {
    if (!candidate.empty() && candidate.size() == name.size() && candidate[0] == name[0] && candidate == name) return true;
  }
  return false;
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

XmlPullReader::XmlPullReader(std::string_view data, XmlBuffer* kept)
    : kept_(kept),
      tokenizer_(kept != nullptr ? XmlTokenizer(data, std::move(kept->bytes), kept->capacity) : XmlTokenizer(data)) {}

XmlPullReader::~XmlPullReader() {
  if (kept_ == nullptr) return;
  kept_->capacity = tokenizer_.BufferCapacity();
  kept_->bytes = tokenizer_.TakeBuffer();
}

XmlPullReader::Event XmlPullReader::Next() { return ReadEvent(); }

// Reads the bytes as ReadEvent does (the same ends of character data, comments, CDATA
// sections, declarations and tags), counting starts and ends only.
bool XmlPullReader::SkipContent(size_t depthRoom, std::span<const std::string_view> stops, size_t& stoppedAt) {
  if (pendingEnd_) {
    stoppedAt = tokenizer_.pos_;
    return false;
  }
  const char* const buf = tokenizer_.data_;
  const size_t end = tokenizer_.end_;
  size_t pos = tokenizer_.pos_;
  size_t depth = 0;  // elements open inside the skipped one
  // The lengths of the stops' names (63 for any longer): most names have none of them and are
  // compared no further.
  uint64_t stopLengths = 0;
  for (const std::string_view stop : stops) stopLengths |= uint64_t{1} << std::min<size_t>(stop.size(), 63);
  for (;;) {
    // Markup mostly follows markup; the "<" after the input's end stops the scan.
    if (buf[pos] != '<') pos = xml_scan::ScanText(buf, pos).end;
    if (pos >= end) {
      stoppedAt = end;
      return false;
    }
    const std::string_view rest(buf + pos, end - pos);
    if (buf[pos + 1] == '!' || buf[pos + 1] == '?') {
      const void* gt = std::memchr(buf + pos + 1, '>', end - pos - 1);
      size_t close = std::string_view::npos;
      if (gt == nullptr) {
      } else if (rest.starts_with("<!--")) {
        if (const size_t at = rest.find("-->", 4); at != std::string_view::npos) close = pos + at + 2;
      } else if (rest.starts_with("<![CDATA[")) {
        if (const size_t at = rest.find("]]>", 9); at != std::string_view::npos) close = pos + at + 2;
      } else {
        close = static_cast<size_t>(static_cast<const char*>(gt) - buf);
      }
      if (close == std::string_view::npos) {
        stoppedAt = end;
        return false;
      }
      pos = close + 1;
      continue;
    }
    const size_t tagClose = pull_scan::TagClose(buf, pos + 1, end);
    if (tagClose == std::string_view::npos) {
      stoppedAt = end;
      return false;
    }
    const bool isEnd = buf[pos + 1] == '/';
    if (isEnd && depth > 0) {
      --depth;
      pos = tagClose + 1;
      continue;
    }
    // Without stops a start tag's name does not matter.
    if (isEnd || stopLengths != 0) {
      const size_t nameStart = pos + (isEnd ? 2 : 1);
      size_t nameEnd = 0;
      size_t localStart = 0;
      pull_scan::FindTagName(buf, nameStart, tagClose, nameEnd, localStart);
      const std::string_view local(buf + localStart, nameEnd - localStart);
      if (isEnd) {
        name_ = std::string_view(buf + nameStart, nameEnd - nameStart);
        localName_ = local;
        attributes_ = {};
        indexed_ = false;
        tokenizer_.tokenStart_ = pos;
        tokenizer_.pos_ = tagClose + 1;
        return true;
      }
      if ((stopLengths >> std::min<size_t>(local.size(), 63) & 1) != 0 && IsOneOf(local, stops)) {
        stoppedAt = pos;
        return false;
      }
    }
    // An empty-element tag ("/" before its ">") opens nothing.
    if (buf[tagClose - 1] != '/' && ++depth >= depthRoom) {
      stoppedAt = pos;
      return false;
    }
    pos = tagClose + 1;
  }
}

void XmlPullReader::IndexAttributes() const {
  index_.clear();
  if (index_.capacity() == 0) index_.reserve(kUsualAttributes);
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
