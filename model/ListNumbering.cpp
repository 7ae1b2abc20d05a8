#include "model/ListNumbering.h"

#include <utility>

#include "platform/Utf.h"

namespace dkscr {
namespace {

std::string Roman(int n, bool upper) {
  static constexpr std::pair<int, std::string_view> kDigits[] = {
      {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
      {40, "xl"}, {10, "x"}, {9, "ix"}, {5, "v"}, {4, "iv"}, {1, "i"}};
  std::string out;
  for (const auto& [value, letters] : kDigits) {
    for (; n >= value; n -= value) out += letters;
  }
  if (upper) {
    for (char& c : out) c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

// a .. z, then aa .. zz, aaa ...: the letter repeated, as PowerPoint counts.
std::string Letters(int n, bool upper) {
  const int times = (n - 1) / 26 + 1;
  return std::string(static_cast<size_t>(times), static_cast<char>((upper ? 'A' : 'a') + (n - 1) % 26));
}

}  // namespace

std::string AutoNumberLabel(std::string_view scheme, int n) {
  if (n < 1) n = 1;
  std::string number;
  if (scheme.starts_with("alphaLc") || scheme.starts_with("alphaUc")) {
    number = Letters(n, scheme.starts_with("alphaUc"));
  } else if ((scheme.starts_with("romanLc") || scheme.starts_with("romanUc")) && n < 4000) {
    number = Roman(n, scheme.starts_with("romanUc"));
  } else if (scheme.starts_with("circleNum") && n <= 20) {
    AppendUtf8(0x2460 + static_cast<char32_t>(n - 1), number);  // (1) .. (20) in circles
  } else if (scheme.starts_with("arabicDb")) {
    for (const char c : std::to_string(n)) AppendUtf8(0xFF10 + static_cast<char32_t>(c - '0'), number);
  } else {
    number = std::to_string(n);
  }
  if (scheme.ends_with("ParenBoth")) return "(" + number + ")";
  if (scheme.ends_with("ParenR")) return number + ")";
  if (scheme.ends_with("Plain") || scheme.ends_with("Minus")) return number;
  return number + ".";
}

}  // namespace dkscr
