#include "app/dialogs/CodePageList.h"

#include <charconv>

namespace dkscr {

const std::vector<std::string>& CodePageItems() {
  static const std::vector<std::string> items = {
      "0         Default",
      "1252   Latin 1: European Western",
      "1200   Unicode (UTF-16, ISO 10646)",
      "65001 Unicode (UTF-8)",
      "1250   European Eastern",
      "1256   Arabic",
      "1257   Baltic",
      "1251   Cyrillic",
      "1253   Greek",
      "1255   Hebrew",
      "1254   Turkish",
      "874     Thai",
      "932     Japanese",
      "936     Chinese Simplified",
      "950     Chinese Traditional",
      "949     Korean Hangul",
      "1361   Korean Johab",
  };
  return items;
}

std::string CodePageDisplayText(int32_t codePage) {
  const std::string number = std::to_string(codePage);
  const std::string prefix = number + " ";
  for (const std::string& item : CodePageItems()) {
    if (item.compare(0, prefix.size(), prefix) == 0) return item;
  }
  return number;
}

std::optional<int32_t> ParseCodePageText(std::string_view text) {
  for (const std::string& item : CodePageItems()) {
    if (text == item) {
      text = text.substr(0, item.find(' '));
      break;
    }
  }
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  int32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value, 10);
  if (ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

}  // namespace dkscr
