#pragma once
// Entry names as the reader stores and matches them.
#include <cstdint>
#include <string>
#include <string_view>

namespace dkscr {

// "/" becomes "\". A name from an MS-DOS host (oemHost) that is not plain ASCII and not
// flagged UTF-8 is converted from code page 437 to the ANSI code page.
std::string StoredEntryName(std::string_view raw, bool oemHost, uint16_t flags);

// The form names are compared in: ASCII letters lower-cased, "/" as "\".
std::string NameMatchKey(std::string_view name);

// Equal without regard to ASCII letter case (paths given to the reader); other letters are
// compared as they are, so the answer never depends on the locale.
bool PathsEqualIgnoringCase(std::u16string_view a, std::u16string_view b);

}  // namespace dkscr
