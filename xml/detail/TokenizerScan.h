#pragma once
// The tokenizer's scanning, inline so that the tree builder reads tokens without a call per
// token. Included by the loader's own sources only.
#include <algorithm>
#include <cstddef>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "xml/XmlAttributes.h"
#include "xml/XmlTokenizer.h"
#include "xml/detail/TreeShortcuts.h"

#if defined(__GNUC__)
#define DKSCR_XML_ALWAYS_INLINE inline __attribute__((always_inline))
#else
#define DKSCR_XML_ALWAYS_INLINE inline
#endif

namespace dkscr {
namespace xml_scan {


inline bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && SameTextAscii(text.substr(0, prefix.size()), prefix);
}

// What the scan of one markup token finds, from the byte after its "<".
struct MarkupScan {
  size_t close;       // the first ">" (the input's end at the latest)
  size_t firstSpace;  // the first space before it, or npos
  bool hasLf;         // an LF lies before it
  bool spaceEquals;   // an "=" before it follows "space", ASCII case ignored
};

#if defined(__SSE2__)
// Sixteen bytes at a time: tags are short, so most take one or two loads. The buffer has
// room for a full load at every position up to the ">" and "<" after the input. Only an "="
// right after an "e" is looked at closer, which few attributes have.
DKSCR_XML_ALWAYS_INLINE MarkupScan ScanMarkup(const char* buf, size_t at) {
  const __m128i gt = _mm_set1_epi8('>');
  const __m128i space = _mm_set1_epi8(' ');
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i equals = _mm_set1_epi8('=');
  const __m128i lowerE = _mm_set1_epi8('e');
  const __m128i caseBit = _mm_set1_epi8(0x20);
  const size_t first = at;
  MarkupScan scan{0, std::string_view::npos, false, false};
  unsigned eBefore = 0;  // an "e" ended the previous sixteen bytes
  for (;; at += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(buf + at));
    const unsigned ends = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, gt)));
    unsigned spaces = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, space)));
    unsigned lfs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, lf)));
    const unsigned es = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(chunk, caseBit), lowerE)));
    unsigned candidates =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, equals))) &
        (es << 1 | eBefore);
    eBefore = es >> 15;
    if (ends != 0) {
      const unsigned before = (ends & (0u - ends)) - 1;  // the bits below the first end
      spaces &= before;
      lfs &= before;
      candidates &= before;
    }
    if (spaces != 0 && scan.firstSpace == std::string_view::npos) {
      scan.firstSpace = at + static_cast<size_t>(__builtin_ctz(spaces));
    }
    scan.hasLf = scan.hasLf || lfs != 0;
    for (; candidates != 0 && !scan.spaceEquals; candidates &= candidates - 1) {
      const size_t eq = at + static_cast<size_t>(__builtin_ctz(candidates));
      scan.spaceEquals = eq >= first + 5 && SpaceBeforeEquals(buf + eq);
    }
    if (ends != 0) {
      scan.close = at + static_cast<size_t>(__builtin_ctz(ends));
      return scan;
    }
  }
}
#else
DKSCR_XML_ALWAYS_INLINE MarkupScan ScanMarkup(const char* buf, size_t at) {
  const size_t first = at;
  MarkupScan scan{0, std::string_view::npos, false, false};
  for (; buf[at] != '>' && buf[at] != '\0'; ++at) {
    if (buf[at] == ' ' && scan.firstSpace == std::string_view::npos) scan.firstSpace = at;
    if (buf[at] == '\n') scan.hasLf = true;
    if (buf[at] == '=' && at >= first + 5 && SpaceBeforeEquals(buf + at)) scan.spaceEquals = true;
  }
  scan.close = at;
  return scan;
}
#endif

// What the scan of an end tag finds from the byte after its "</" on.
struct CloseScan {
  size_t close;  // the first ">" (the input's end at the latest)
  bool hasLf;    // an LF lies before it
};

#if defined(__SSE2__)
DKSCR_XML_ALWAYS_INLINE CloseScan ScanClose(const char* buf, size_t at) {
  const __m128i gt = _mm_set1_epi8('>');
  const __m128i lf = _mm_set1_epi8('\n');
  CloseScan scan{0, false};
  for (;; at += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(buf + at));
    const unsigned ends = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, gt)));
    unsigned lfs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, lf)));
    if (ends != 0) lfs &= (ends & (0u - ends)) - 1;
    scan.hasLf = scan.hasLf || lfs != 0;
    if (ends != 0) {
      scan.close = at + static_cast<size_t>(__builtin_ctz(ends));
      return scan;
    }
  }
}
#else
DKSCR_XML_ALWAYS_INLINE CloseScan ScanClose(const char* buf, size_t at) {
  CloseScan scan{0, false};
  for (; buf[at] != '>' && buf[at] != '\0'; ++at) {
    if (buf[at] == '\n') scan.hasLf = true;
  }
  scan.close = at;
  return scan;
}
#endif

// What the scan of character data finds from its first byte on.
struct TextScan {
  size_t end;   // the first "<" (just past the input's end at the latest)
  bool hasLf;   // an LF lies before it
  bool hasAmp;  // an "&" lies before it
};

#if defined(__SSE2__)
DKSCR_XML_ALWAYS_INLINE TextScan ScanText(const char* buf, size_t at) {
  const __m128i lt = _mm_set1_epi8('<');
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i amp = _mm_set1_epi8('&');
  TextScan scan{0, false, false};
  for (;; at += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(buf + at));
    const unsigned ends = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, lt)));
    unsigned lfs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, lf)));
    unsigned amps = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, amp)));
    if (ends != 0) {
      const unsigned before = (ends & (0u - ends)) - 1;
      lfs &= before;
      amps &= before;
    }
    scan.hasLf = scan.hasLf || lfs != 0;
    scan.hasAmp = scan.hasAmp || amps != 0;
    if (ends != 0) {
      scan.end = at + static_cast<size_t>(__builtin_ctz(ends));
      return scan;
    }
  }
}
#else
DKSCR_XML_ALWAYS_INLINE TextScan ScanText(const char* buf, size_t at) {
  TextScan scan{0, false, false};
  for (; buf[at] != '<' && buf[at] != '\0'; ++at) {
    if (buf[at] == '\n') scan.hasLf = true;
    if (buf[at] == '&') scan.hasAmp = true;
  }
  scan.end = at;
  return scan;
}
#endif

DKSCR_XML_ALWAYS_INLINE XmlToken MarkupKind(std::string_view token) {
  if (token.size() > 1 && token[1] == '?' && StartsWithNoCase(token, "<?xml")) {
    return XmlToken::kDeclaration;
  }
  if (token.size() > 1 && token[1] == '!' && StartsWithNoCase(token, "<!--")) {
    return XmlToken::kComment;
  }
  if (token.ends_with("/>")) return XmlToken::kEmptyTag;
  if (token.starts_with("</")) return XmlToken::kEndTag;
  return XmlToken::kStartTag;
}

}  // namespace xml_scan

DKSCR_XML_ALWAYS_INLINE XmlToken XmlTokenizer::ScanToken(unsigned char firstKept) {
  using namespace xml_scan;
  // The members are read into locals: every byte read through a char pointer could otherwise
  // have changed them, as far as the compiler knows.
  const char* const buf = data_;
  const size_t inputEnd = end_;
  size_t pos = pos_;
  if (static_cast<unsigned char>(buf[pos]) < firstKept) {
    size_t line = line_;
    while (pos < inputEnd && static_cast<unsigned char>(buf[pos]) < firstKept) {
      if (buf[pos] == '\n') ++line;
      ++pos;
    }
    line_ = line;
  }
  tokenStart_ = pos;
  if (pos >= inputEnd) {
    pos_ = pos;
    return kind_ = XmlToken::kEndOfInput;
  }

  if (buf[pos] == '<') {
    if (buf[pos + 1] == '/') {
      // An end tag needs no more than its end: its name and attributes are never read. One
      // ending in "/>" is an empty-element tag after all and takes the full scan below.
      const CloseScan scan = ScanClose(buf, pos + 2);
      if (scan.close < inputEnd && buf[scan.close - 1] != '/') {
        tokenHasLf_ = scan.hasLf;
        firstSpace_ = std::string_view::npos;
        spaceEquals_ = false;
        pos_ = scan.close + 1;
        return kind_ = XmlToken::kEndTag;
      }
    }
    const MarkupScan scan = ScanMarkup(buf, pos + 1);
    if (scan.close >= inputEnd) {
      pos_ = inputEnd;
      tokenStart_ = inputEnd;
      return kind_ = XmlToken::kEndOfInput;
    }
    tokenHasLf_ = scan.hasLf;
    firstSpace_ = scan.firstSpace == std::string_view::npos ? scan.firstSpace
                                                            : scan.firstSpace - pos;
    spaceEquals_ = scan.spaceEquals;
    pos_ = scan.close + 1;
    return kind_ = MarkupKind(std::string_view(buf + pos, scan.close + 1 - pos));
  }

  // The scan may count an LF or "&" in the white space cut off below: that only costs a copy
  // or a look for escapes that finds none.
  const TextScan scan = ScanText(buf, pos);
  tokenHasLf_ = scan.hasLf;
  textHasAmp_ = scan.hasAmp;
  size_t end = std::min(scan.end, inputEnd);
  // The text ends after its last significant byte; what follows is white space.
  while (end > pos && static_cast<unsigned char>(buf[end - 1]) < firstKept) --end;
  pos_ = end;
  return kind_ = XmlToken::kText;
}

DKSCR_XML_ALWAYS_INLINE XmlToken XmlTokenizer::ReadToken(bool keepSpaces) {
  return ScanToken(keepSpaces ? 0x20 : 0x21);
}

DKSCR_XML_ALWAYS_INLINE XmlToken XmlTokenizer::ReadExactToken() { return ScanToken(0); }

}  // namespace dkscr
