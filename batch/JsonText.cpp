#include "batch/JsonText.h"

namespace dkscr {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one well-formed sequence at `at` (surrogates included, so that pairs can be seen).
// Returns its length, 0 when the bytes there are not one.
size_t DecodeSequence(std::string_view s, size_t at, char32_t& cp) {
  const auto b0 = static_cast<unsigned char>(s[at]);
  size_t length;
  char32_t least;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    length = 2, least = 0x80, cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    length = 3, least = 0x800, cp = b0 & 0x0F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    length = 4, least = 0x10000, cp = b0 & 0x07;
  } else {
    return 0;
  }
  if (s.size() - at < length) return 0;
  for (size_t k = 1; k < length; ++k) {
    const auto b = static_cast<unsigned char>(s[at + k]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  return cp < least || cp > 0x10FFFF ? 0 : length;
}

void AppendEscapedAscii(std::string& out, char c) {
  static constexpr char kHex[] = "0123456789abcdef";
  switch (c) {
    case '"': out += "\\\""; return;
    case '\\': out += "\\\\"; return;
    case '\b': out += "\\b"; return;
    case '\f': out += "\\f"; return;
    case '\n': out += "\\n"; return;
    case '\r': out += "\\r"; return;
    case '\t': out += "\\t"; return;
    default: break;
  }
  if (static_cast<unsigned char>(c) < 0x20) {
    out += "\\u00";
    out += kHex[(c >> 4) & 0xF];
    out += kHex[c & 0xF];
  } else {
    out += c;
  }
}

}  // namespace

bool AppendJsonString(std::string& out, std::string_view bytes, bool crLfAsLf) {
  bool plain = true;
  out.reserve(out.size() + bytes.size() + 2);
  out += '"';
  size_t i = 0;
  while (i < bytes.size()) {
    const char c = bytes[i];
    if (static_cast<unsigned char>(c) < 0x80) {
      if (crLfAsLf && c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      AppendEscapedAscii(out, bytes[i]);
      ++i;
      continue;
    }
    char32_t cp = 0;
    const size_t length = DecodeSequence(bytes, i, cp);
    if (length == 0) {
      AppendUtf8(out, kReplacement);
      plain = false;
      ++i;
    } else if (cp < 0xD800 || cp > 0xDFFF) {
      out.append(bytes.substr(i, length));
      i += length;
    } else {
      plain = false;
      char32_t low = 0;
      if (cp <= 0xDBFF && i + 3 < bytes.size() && DecodeSequence(bytes, i + 3, low) == 3 &&
          low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00));
        i += 6;
      } else {
        AppendUtf8(out, kReplacement);
        i += 3;
      }
    }
  }
  out += '"';
  return plain;
}

std::string JsonRecord(std::string_view path, ResultCode code, std::string_view message,
                       std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string line = "{\"path\":";
  if (!AppendJsonString(line, path)) {
    line += ",\"path_bytes\":\"";
    for (const char c : path) {
      line += kHex[(static_cast<unsigned char>(c) >> 4) & 0xF];
      line += kHex[static_cast<unsigned char>(c) & 0xF];
    }
    line += '"';
  }
  line += ",\"code\":";
  line += std::to_string(code);
  line += ",\"message\":";
  AppendJsonString(line, message);
  if (code >= 0) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    line += ",\"text\":";
    AppendJsonString(line, text, true);
  }
  line += "}\n";
  return line;
}

}  // namespace dkscr
