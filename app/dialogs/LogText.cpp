#include "app/dialogs/LogText.h"

#include "text/CodePage.h"
#include "text/Encode.h"

namespace dkscr {

namespace {

std::u16string DecodeLog(std::string_view bytes) {
  if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFF\xFE") {
    return BytesToWide(bytes.substr(2));
  }
  if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFE\xFF") {
    std::u16string text;
    text.reserve((bytes.size() - 2) / 2);
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
      text.push_back(static_cast<char16_t>((static_cast<unsigned char>(bytes[i]) << 8) |
                                           static_cast<unsigned char>(bytes[i + 1])));
    }
    return text;
  }
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    return CodePageToWide(65001, bytes.substr(3));
  }
  return CodePageToWide(0, bytes);
}

}  // namespace

std::vector<std::u16string> LogBytesToLines(std::string_view bytes) {
  const std::u16string text = DecodeLog(bytes);
  std::vector<std::u16string> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'\r' && text[i] != u'\n') continue;
    lines.emplace_back(text, start, i - start);
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text, start);
  return lines;
}

std::string LinesToUtf16File(const std::vector<std::u16string>& lines) {
  std::string bytes = "\xFF\xFE";
  const auto put = [&bytes](char16_t unit) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  };
  for (const std::u16string& line : lines) {
    for (char16_t unit : line) put(unit);
    put(u'\r');
    put(u'\n');
  }
  return bytes;
}

}  // namespace dkscr
