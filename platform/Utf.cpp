#include "platform/Utf.h"

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

void AppendUtf8(char32_t cp, std::string& out) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

void AppendWideAsUtf8(std::u16string_view text, std::string& out) {
  for (size_t i = 0; i < text.size(); ++i) {
    // A run of ASCII goes over at once: most text is.
    size_t end = i;
    while (end < text.size() && text[end] < 0x80) ++end;
    if (end > i) {
      const size_t at = out.size();
      out.resize(at + (end - i));
      for (size_t k = i; k < end; ++k) out[at + (k - i)] = static_cast<char>(text[k]);
      i = end;
      if (i == text.size()) break;
    }
    char32_t u = text[i];
    if (IsHighSurrogate(u) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      u = 0x10000 + ((u - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (IsHighSurrogate(u) || IsLowSurrogate(u)) {
      u = kReplacementChar;
    }
    AppendUtf8(u, out);
  }
}

std::string WideToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendWideAsUtf8(text, out);
  return out;
}

}  // namespace dkscr
