#pragma once
// The attribute list of an element: one "name=value" line per attribute, in the order written.
// All lines share one string (each with its length in front), so a typical tag's attributes
// cost one allocation or none.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace dkscr {

class XmlAttributes {
 public:
  XmlAttributes() = default;
  explicit XmlAttributes(const std::vector<std::string>& lines);

  size_t Count() const { return count_; }
  bool Empty() const { return count_ == 0; }
  // Line `index`; linear in the index.
  std::string_view Line(size_t index) const;
  std::vector<std::string> Lines() const;
  void Add(std::string_view line);
  void Reserve(size_t bytes) { data_.reserve(bytes); }
  // Adds the line name=value.
  void AddPair(std::string_view name, std::string_view value);
  void Clear() {
    data_.clear();
    count_ = 0;
  }

  // First line equal to `line`, ASCII case ignored; -1 when there is none.
  ptrdiff_t IndexOf(std::string_view line) const;
  // First line holding an "=" whose text before it equals `name`, ASCII case ignored; -1 if none.
  ptrdiff_t IndexOfName(std::string_view name) const;
  // The text after the first "=" of the line IndexOfName finds; empty when there is none.
  std::string_view Value(std::string_view name) const;

  bool operator==(const XmlAttributes& other) const = default;

  // Calls f(line) for every line in order until f returns true; returns that line's index or -1.
  template <typename F>
  ptrdiff_t FindLine(F&& f) const {
    size_t at = 0;
    for (size_t i = 0; i < count_; ++i) {
      const std::string_view line = ReadLine(at);
      if (f(line)) return static_cast<ptrdiff_t>(i);
    }
    return -1;
  }

 private:
  // The line stored at `at`, moving `at` past it.
  std::string_view ReadLine(size_t& at) const;

  std::string data_;
  size_t count_ = 0;
};

// ASCII-only case-insensitive equality, as the attribute lookups use it.
bool SameTextAscii(std::string_view a, std::string_view b);

}  // namespace dkscr
