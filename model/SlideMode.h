#pragma once
// The forms a conversion can give, by name.
#include <optional>
#include <string>
#include <string_view>

namespace dkscr {

enum class SlideMode {
  kText,      // the converters' own text, byte for byte
  kFull,      // complete text, slide by slide, in the code page with CR LF
  kMarkdown,  // UTF-8
  kJson,      // UTF-8 without byte-order mark
};

// "text", "full", "md", "json" (ASCII case ignored); nothing for any other name.
inline std::optional<SlideMode> ParseSlideMode(std::string_view name) {
  std::string lower(name);
  for (char& c : lower) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  if (lower == "text") return SlideMode::kText;
  if (lower == "full") return SlideMode::kFull;
  if (lower == "md") return SlideMode::kMarkdown;
  if (lower == "json") return SlideMode::kJson;
  return std::nullopt;
}

}  // namespace dkscr
