#include "platform/Utf.h"

#if defined(__SSE2__) && defined(__GNUC__)
#include <emmintrin.h>
#endif

namespace dkscr {

size_t DecodeUtf8Sequence(std::string_view text, size_t pos, char32_t& codePoint, bool& valid) {
  const auto byteAt = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byteAt(pos);
  if (lead < 0x80) {
    codePoint = lead;
    valid = true;
    return 1;
  }
  size_t need;
  uint8_t lo = 0x80, hi = 0xBF;  // allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    need = 1;
    codePoint = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    need = 2;
    codePoint = lead & 0x0F;
    if (lead == 0xE0) lo = 0xA0;
    if (lead == 0xED) hi = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    need = 3;
    codePoint = lead & 0x07;
    if (lead == 0xF0) lo = 0x90;
    if (lead == 0xF4) hi = 0x8F;
  } else {
    valid = false;
    return 1;
  }
  size_t i = 1;
  for (; i <= need; ++i) {
    if (pos + i >= text.size()) break;
    const uint8_t b = byteAt(pos + i);
    const uint8_t min = i == 1 ? lo : 0x80;
    const uint8_t max = i == 1 ? hi : 0xBF;
    if (b < min || b > max) break;
    codePoint = (codePoint << 6) | (b & 0x3F);
  }
  valid = i > need;
  return i;
}

std::u16string Utf8ToWide(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    const auto c = static_cast<uint8_t>(text[pos]);
    if (c < 0x80) {  // the common case, kept short
      out.push_back(c);
      ++pos;
      continue;
    }
    char32_t cp;
    bool valid;
    pos += DecodeUtf8Sequence(text, pos, cp, valid);
    AppendUtf16(valid ? cp : kReplacementChar, out);
  }
  return out;
}

void AppendUtf16(char32_t cp, std::u16string& out) {
  if (cp >= 0x10000) {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  } else {
    out.push_back(static_cast<char16_t>(cp));
  }
}

namespace {

// The UTF-8 bytes of a code point, written at `to`; returns where they end.
char* PutUtf8(char32_t cp, char* to) {
  if (cp < 0x80) {
    *to++ = static_cast<char>(cp);
  } else if (cp < 0x800) {
    *to++ = static_cast<char>(0xC0 | (cp >> 6));
    *to++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *to++ = static_cast<char>(0xE0 | (cp >> 12));
    *to++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *to++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    *to++ = static_cast<char>(0xF0 | (cp >> 18));
    *to++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    *to++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *to++ = static_cast<char>(0x80 | (cp & 0x3F));
  }
  return to;
}

// Writes the ASCII units at text[at...] as bytes until a unit that is not ASCII or the end;
// returns where it stopped. Eight units at a time where the processor narrows them at once.
size_t NarrowAscii(const char16_t* text, size_t at, size_t end, char*& to) {
#if defined(__SSE2__) && defined(__GNUC__)
  const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF80));
  const __m128i zero = _mm_setzero_si128();
  for (; end - at >= 8; at += 8, to += 8) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at));
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(units, high), zero)) != 0xFFFF) break;
    _mm_storel_epi64(reinterpret_cast<__m128i*>(to), _mm_packus_epi16(units, units));
  }
#endif
  for (; at < end && text[at] < 0x80; ++at) *to++ = static_cast<char>(text[at]);
  return at;
}

// The UTF-8 length of a text: a pair of surrogates four bytes, a lone one three (U+FFFD).
size_t Utf8Length(std::u16string_view text) {
  size_t bytes = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t u = text[i];
    if (u < 0x80) {
      bytes += 1;
    } else if (u < 0x800) {
      bytes += 2;
    } else if (IsHighSurrogate(u) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      bytes += 4;
      ++i;
    } else {
      bytes += 3;
    }
  }
  return bytes;
}

}  // namespace

void AppendUtf8(char32_t cp, std::string& out) {
  char bytes[4];
  out.append(bytes, PutUtf8(cp, bytes));
}

void AppendWideAsUtf8(std::u16string_view text, std::string& out) {
  // Sized for ASCII, what most text is; at the first other unit, for exactly the rest.
  const size_t at = out.size();
  out.resize(at + text.size());
  char* to = out.data() + at;
  size_t i = NarrowAscii(text.data(), 0, text.size(), to);
  if (i == text.size()) return;
  const size_t done = static_cast<size_t>(to - out.data());
  out.resize(done + Utf8Length(text.substr(i)));
  to = out.data() + done;
  while (i < text.size()) {
    i = NarrowAscii(text.data(), i, text.size(), to);
    if (i == text.size()) break;
    char32_t u = text[i++];
    if (IsHighSurrogate(u) && i < text.size() && IsLowSurrogate(text[i])) {
      u = 0x10000 + ((u - 0xD800) << 10) + (text[i++] - 0xDC00);
    } else if (IsHighSurrogate(u) || IsLowSurrogate(u)) {
      u = kReplacementChar;
    }
    to = PutUtf8(u, to);
  }
}

std::string WideToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendWideAsUtf8(text, out);
  return out;
}

}  // namespace dkscr
