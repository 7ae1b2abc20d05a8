#pragma once
#include <string>
#include <string_view>

namespace dkscr {

// File names on this platform are byte strings, while the converters take UTF-16 paths.
// Bytes that are not valid UTF-8 travel as the lone surrogates U+DC80..U+DCFF and come back
// as the same bytes, so every name a user can pass survives the round trip.
std::u16string PathFromNative(std::string_view bytes);
std::string PathToNative(std::u16string_view path);

}  // namespace dkscr
