#pragma once
// Code-page numbers as users type them on command lines, shared by the console programs.
#include <cstdint>
#include <optional>
#include <string_view>

namespace dkscr {

// Integer text as the -c option takes it: leading blanks, an optional sign, then decimal
// digits, or hexadecimal digits after "$", "x" or "0x" (any case). Hexadecimal may fill all
// 32 bits (0xFFFFFFFF is -1). Anything else, or a value out of range, gives nothing.
std::optional<int32_t> ParseInt32(std::string_view text);

}  // namespace dkscr
