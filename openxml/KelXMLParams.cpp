#include "openxml/KelXMLParams.h"

#include <cstdint>
#include <cstring>

namespace dkscr {
namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// A length below 255 takes one byte; longer ones 0xFF and four bytes.
void PutLength(std::string& data, size_t length) {
  if (length < 0xFF) {
    data.push_back(static_cast<char>(length));
    return;
  }
  const auto value = static_cast<uint32_t>(length);
  char bytes[5] = {static_cast<char>(0xFF)};
  std::memcpy(bytes + 1, &value, 4);
  data.append(bytes, 5);
}

}  // namespace

bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

TXMLParams::TXMLParams(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) Add(line);
}

std::string_view TXMLParams::ReadLine(size_t& at) const {
  size_t length = static_cast<unsigned char>(FData[at]);
  ++at;
  if (length == 0xFF) {
    uint32_t value = 0;
    std::memcpy(&value, FData.data() + at, 4);
    length = value;
    at += 4;
  }
  const std::string_view line(FData.data() + at, length);
  at += length;
  return line;
}

std::string_view TXMLParams::Line(size_t index) const {
  size_t at = 0;
  std::string_view line;
  for (size_t i = 0; i <= index && i < FCount; ++i) line = ReadLine(at);
  return index < FCount ? line : std::string_view();
}

std::vector<std::string> TXMLParams::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(FCount);
  FindLine([&](std::string_view line) {
    lines.emplace_back(line);
    return false;
  });
  return lines;
}

void TXMLParams::Add(std::string_view line) {
  PutLength(FData, line.size());
  FData.append(line);
  ++FCount;
}

void TXMLParams::AddPair(std::string_view name, std::string_view value) {
  PutLength(FData, name.size() + 1 + value.size());
  FData.append(name).append(1, '=').append(value);
  ++FCount;
}

ptrdiff_t TXMLParams::IndexOf(std::string_view line) const {
  return FindLine([&](std::string_view candidate) { return SameTextAscii(candidate, line); });
}

ptrdiff_t TXMLParams::IndexOfName(std::string_view name) const {
  return FindLine([&](std::string_view line) {
    const size_t eq = line.find('=');
    return eq != std::string_view::npos && SameTextAscii(line.substr(0, eq), name);
  });
}

std::string_view TXMLParams::Value(std::string_view name) const {
  const ptrdiff_t index = IndexOfName(name);
  if (index < 0) return {};
  const std::string_view line = Line(static_cast<size_t>(index));
  return line.substr(line.find('=') + 1);
}

}  // namespace dkscr
