#include "xml/XmlAttributes.h"

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

XmlAttributes::XmlAttributes(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) Add(line);
}

std::string_view XmlAttributes::ReadLine(size_t& at) const {
  size_t length = static_cast<unsigned char>(data_[at]);
  ++at;
  if (length == 0xFF) {
    uint32_t value = 0;
    std::memcpy(&value, data_.data() + at, 4);
    length = value;
    at += 4;
  }
  const std::string_view line(data_.data() + at, length);
  at += length;
  return line;
}

std::string_view XmlAttributes::Line(size_t index) const {
  size_t at = 0;
  std::string_view line;
  for (size_t i = 0; i <= index && i < count_; ++i) line = ReadLine(at);
  return index < count_ ? line : std::string_view();
}

std::vector<std::string> XmlAttributes::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(count_);
  FindLine([&](std::string_view line) {
    lines.emplace_back(line);
    return false;
  });
  return lines;
}

void XmlAttributes::Add(std::string_view line) {
  PutLength(data_, line.size());
  data_.append(line);
  ++count_;
}

void XmlAttributes::AddPair(std::string_view name, std::string_view value) {
  PutLength(data_, name.size() + 1 + value.size());
  data_.append(name).append(1, '=').append(value);
  ++count_;
}

ptrdiff_t XmlAttributes::IndexOf(std::string_view line) const {
  return FindLine([&](std::string_view candidate) { return SameTextAscii(candidate, line); });
}

ptrdiff_t XmlAttributes::IndexOfName(std::string_view name) const {
  return FindLine([&](std::string_view line) {
    const size_t eq = line.find('=');
    return eq != std::string_view::npos && SameTextAscii(line.substr(0, eq), name);
  });
}

std::string_view XmlAttributes::Value(std::string_view name) const {
  const ptrdiff_t index = IndexOfName(name);
  if (index < 0) return {};
  const std::string_view line = Line(static_cast<size_t>(index));
  return line.substr(line.find('=') + 1);
}

}  // namespace dkscr
