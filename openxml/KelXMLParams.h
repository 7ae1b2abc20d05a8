#pragma once
// The attribute list of an element: one "name=value" line per attribute, in the order written.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace dkscr {

class TXMLParams {
 public:
  TXMLParams() = default;
  explicit TXMLParams(std::vector<std::string> lines) : FLines(std::move(lines)) {}

  size_t Count() const { return FLines.size(); }
  bool Empty() const { return FLines.empty(); }
  const std::string& operator[](size_t index) const { return FLines[index]; }
  const std::vector<std::string>& Lines() const { return FLines; }
  void Add(std::string line) { FLines.push_back(std::move(line)); }
  void Clear() { FLines.clear(); }

  // First line equal to `line`, ASCII case ignored; -1 when there is none.
  ptrdiff_t IndexOf(std::string_view line) const;
  // First line holding an "=" whose text before it equals `name`, ASCII case ignored; -1 if none.
  ptrdiff_t IndexOfName(std::string_view name) const;
  // The text after the first "=" of the line IndexOfName finds; empty when there is none.
  std::string_view Value(std::string_view name) const;
  // Rewrites the line IndexOfName finds as name=value, or appends one. An empty value is kept.
  void SetValue(std::string_view name, std::string_view value);

  bool operator==(const TXMLParams& other) const = default;

 private:
  std::vector<std::string> FLines;
};

// ASCII-only case-insensitive equality, as the attribute lookups use it.
bool SameTextAscii(std::string_view a, std::string_view b);

}  // namespace dkscr
