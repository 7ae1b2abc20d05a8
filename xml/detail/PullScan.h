#pragma once
// The pull reader's scan of the tokenizer's buffer, inline so that the markup walker reads
// events without a call per event. Included by the pull reader's and the walker's sources only.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "xml/XmlPullReader.h"
#include "xml/detail/TokenizerScan.h"

namespace dkscr {
namespace pull_scan {

constexpr std::array<bool, 256> MakeNameEnds() {
  std::array<bool, 256> ends{};
  for (const unsigned char c : {' ', '\t', '\r', '\n', '/', '>'}) ends[c] = true;
  return ends;
}
inline constexpr std::array<bool, 256> kNameEnds = MakeNameEnds();
inline bool IsNameEnd(char c) { return kNameEnds[static_cast<unsigned char>(c)]; }
// Where the ">" that ends the tag whose "<" stands before `at` is: the first one outside
// quoted values (a quote opens a value that only the same quote closes), or npos when the
// input ends first. The ">" after the input's end stops every scan.
#if defined(__SSE2__)
inline size_t TagClose(const char* buf, size_t at, size_t end) {
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
inline size_t TagClose(const char* buf, size_t at, size_t end) {
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
inline bool ShortName(const char* name, size_t& nameEnd, size_t& localStart) {
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
inline bool ShortName(const char*, size_t&, size_t&) { return false; }
#endif

// The name of a tag that starts at text[nameStart], ended by the tag's ">" at text[close] at
// the latest: `nameEnd` past it, `localStart` past its first ":".
inline void FindTagName(const char* text, size_t nameStart, size_t close, size_t& nameEnd, size_t& localStart) {
  nameEnd = localStart = nameStart;
  if (ShortName(text + nameStart, nameEnd, localStart)) return;
  for (; nameEnd < close && !IsNameEnd(text[nameEnd]); ++nameEnd) {
    if (text[nameEnd] == ':' && localStart == nameStart) localStart = nameEnd + 1;
  }
}

}  // namespace pull_scan

// The reader scans the tokenizer's buffer itself: it needs less than the tree builder's scan
// finds (no line breaks, no spaces), and finds the real end of a tag in the same pass.
DKSCR_XML_ALWAYS_INLINE XmlPullReader::Event XmlPullReader::ReadEvent() {
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
    const size_t tagClose = pull_scan::TagClose(buf, pos + 1, end);
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
    size_t nameEnd = 0;
    size_t localStart = 0;
    pull_scan::FindTagName(rest.data(), nameStart, close, nameEnd, localStart);
    name_ = std::string_view(rest.data() + nameStart, nameEnd - nameStart);
    localName_ = std::string_view(rest.data() + localStart, nameEnd - localStart);
    if (isEnd) {
      attributes_ = {};
      return Event::kEndElement;
    }
    const bool empty = rest[close - 1] == '/' && close - 1 >= nameEnd;
    // Offsets within the tag: views are made without the bounds checks of substr.
    attributes_ = std::string_view(rest.data() + nameEnd, (empty ? close - 1 : close) - nameEnd);
    pendingEnd_ = empty;
    return Event::kStartElement;
  }
}

}  // namespace dkscr
