#pragma once
// Entry names as the reader stores and matches them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace dkscr {

// "/" becomes "\". A name from an MS-DOS host (oemHost) that is not plain ASCII and not
// flagged UTF-8 is converted from code page 437 to the ANSI code page.
std::string StoredEntryName(std::string_view raw, bool oemHost, uint16_t flags);

// The form names are compared in: ASCII letters lower-cased, "/" as "\".
std::string NameMatchKey(std::string_view name);

// A byte of a match key.
inline char MatchKeyByte(char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
  return c == '/' ? '\\' : c;
}

// Whether the match key of `name` is `key`, without making it.
inline bool MatchKeyIs(std::string_view name, std::string_view key) {
  if (name.size() != key.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    if (MatchKeyByte(name[i]) != key[i]) return false;
  }
  return true;
}

// Equal without regard to ASCII letter case (paths given to the reader); other letters are
// compared as they are, so the answer never depends on the locale.
bool PathsEqualIgnoringCase(std::u16string_view a, std::u16string_view b);

}  // namespace dkscr
