#pragma once
// Items of the options dialog's code-page box and the rules that turn a code page into the
// box's text and the box's text back into a code page. No window code here.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dkscr {

// The box's items in their order; each is the number, padded with spaces, then a name.
const std::vector<std::string>& CodePageItems();

// The text the box shows for a stored code page: the first item that begins with the
// decimal number followed by one space, or else just the number.
std::string CodePageDisplayText(int32_t codePage);

// The code page for the box's text: an exact item gives the number before its first
// space; anything else must be a decimal integer as it stands (surrounding blanks allowed).
// No value when the text is empty, not numeric or out of range.
std::optional<int32_t> ParseCodePageText(std::string_view text);

}  // namespace dkscr
