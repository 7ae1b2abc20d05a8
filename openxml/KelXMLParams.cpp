#include "openxml/KelXMLParams.h"

namespace dkscr {
namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

}  // namespace

bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

ptrdiff_t TXMLParams::IndexOf(std::string_view line) const {
  for (size_t i = 0; i < FLines.size(); ++i) {
    if (SameTextAscii(FLines[i], line)) return static_cast<ptrdiff_t>(i);
  }
  return -1;
}

ptrdiff_t TXMLParams::IndexOfName(std::string_view name) const {
  for (size_t i = 0; i < FLines.size(); ++i) {
    const std::string_view line = FLines[i];
    const size_t eq = line.find('=');
    if (eq != std::string_view::npos && SameTextAscii(line.substr(0, eq), name)) {
      return static_cast<ptrdiff_t>(i);
    }
  }
  return -1;
}

std::string_view TXMLParams::Value(std::string_view name) const {
  const ptrdiff_t index = IndexOfName(name);
  if (index < 0) return {};
  const std::string_view line = FLines[static_cast<size_t>(index)];
  return line.substr(line.find('=') + 1);
}

void TXMLParams::SetValue(std::string_view name, std::string_view value) {
  std::string line;
  line.reserve(name.size() + 1 + value.size());
  line.append(name).append(1, '=').append(value);
  const ptrdiff_t index = IndexOfName(name);
  if (index < 0) {
    FLines.push_back(std::move(line));
  } else {
    FLines[static_cast<size_t>(index)] = std::move(line);
  }
}

}  // namespace dkscr
