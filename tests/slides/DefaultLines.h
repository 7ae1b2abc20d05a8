#pragma once
// The promise of the complete forms: every line of the default text appears somewhere in the
// same file's JSON (white space aside: the default text trims run edges), except the default
// text's own slide headers and slide-number fields ("*").
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/JsonValue.h"
#include "xml/XmlPullReader.h"

namespace dkscr::test {

// Without white space; character references decoded, as the complete forms decode them.
inline std::string Squeezed(std::string_view text) {
  std::string decoded;
  AppendXmlDecoded(text, decoded);
  std::string out;
  for (char c : decoded) {
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\v') out.push_back(c);
  }
  return out;
}

// "slide" + number + ":", the default text's header of a .pptx slide.
inline bool IsSlideHeader(std::string_view line) {
  if (!line.starts_with("slide") || !line.ends_with(':') || line.size() < 7) return false;
  const std::string_view digits = line.substr(5, line.size() - 6);
  return digits.find_first_not_of("0123456789") == std::string_view::npos;
}

// The lines of the UTF-8 default text (CR LF between lines, a byte-order mark first) that
// `haystack`, squeezed, does not hold.
inline std::vector<std::string> LinesMissingFrom(std::string_view defaultText, std::string_view haystack) {
  const std::string squeezed = Squeezed(haystack);
  std::vector<std::string> missing;
  size_t at = defaultText.starts_with("\xEF\xBB\xBF") ? 3 : 0;
  while (at < defaultText.size()) {
    size_t end = defaultText.find("\r\n", at);
    if (end == std::string_view::npos) end = defaultText.size();
    const std::string line(defaultText.substr(at, end - at));
    at = end + 2;
    if (IsSlideHeader(line) || line == "*") continue;
    if (squeezed.find(Squeezed(line)) == std::string::npos) missing.push_back(line);
  }
  return missing;
}

// The same against every string of a JSON text; an unreadable JSON text misses everything.
inline std::vector<std::string> LinesMissingFromJson(std::string_view defaultText, std::string_view json) {
  std::string strings;
  if (const auto value = JsonParser::Parse(json)) value->AppendAllStrings(strings);
  return LinesMissingFrom(defaultText, strings);
}

}  // namespace dkscr::test
