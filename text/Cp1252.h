#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace dkscr {

// Windows code page 1252, as the platform maps it: the five unassigned bytes 0x81 0x8D 0x8F
// 0x90 0x9D stand for the control characters of the same value, so every byte round-trips.
char16_t Cp1252ToWide(uint8_t byte);
std::u16string Cp1252Decode(std::string_view bytes);
// The byte for a character, or false when code page 1252 has none.
bool WideToCp1252(char16_t ch, uint8_t& byte);

}  // namespace dkscr
