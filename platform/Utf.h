#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace dkscr {

inline constexpr char16_t kReplacementChar = 0xFFFD;

inline bool IsHighSurrogate(char32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
inline bool IsLowSurrogate(char32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Reads one UTF-8 sequence at text[pos]. On a well-formed sequence stores the code point and
// returns its length. On an ill-formed one returns the length of its maximal subpart (at least
// one byte) with `valid` false, so that each such subpart becomes one replacement character.
size_t DecodeUtf8Sequence(std::string_view text, size_t pos, char32_t& codePoint, bool& valid);

// UTF-8 to UTF-16: characters beyond the BMP become surrogate pairs and every ill-formed
// subpart becomes U+FFFD.
std::u16string Utf8ToWide(std::string_view text);

// UTF-16 to UTF-8: surrogate pairs become one four-byte sequence, a lone surrogate EF BF BD.
void AppendWideAsUtf8(std::u16string_view text, std::string& out);
std::string WideToUtf8(std::u16string_view text);

// Appends one code point as UTF-16: a surrogate pair beyond the BMP.
void AppendUtf16(char32_t codePoint, std::u16string& out);

// Appends one code point as UTF-8 (no checks: the caller passes a scalar value).
void AppendUtf8(char32_t codePoint, std::string& out);

}  // namespace dkscr
