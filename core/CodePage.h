#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace dkscr {

// The platform's code-page services. Code pages are Windows code-page numbers at every
// interface; the conversions go through iconv (CodePage.cpp) or, on Windows, through the
// system's own functions (CodePageWin.cpp), which also give DefaultCodePage there.

inline constexpr int32_t kCodePageUtf16Le = 1200;
inline constexpr int32_t kCodePageUtf8 = 65001;
inline constexpr int32_t kCodePage1252 = 1252;
inline constexpr int32_t kCodePageOem = 437;

#ifndef _WIN32
// The iconv name for a Windows code page, or nullptr when we cannot serve it.
const char* IconvNameOfCodePage(int32_t codePage);

// The Windows code page for a C library codeset name (nl_langinfo(CODESET)).
int32_t CodePageOfCodeset(std::string_view codeset);
#endif

// Bytes in a code page to UTF-16; undecodable bytes become U+FFFD. Code page 0 is the
// default code page; 65001 is UTF-8. An unserved code page gives an empty text.
std::u16string CodePageToWide(int32_t codePage, std::string_view bytes);

// UTF-16 to a code page, each character without a mapping (and each lone surrogate) becoming
// the code page's default character; on Windows the system may choose a similar character
// first (best fit). Empty when unserved.
std::string EncodeForCodePage(int32_t codePage, std::u16string_view text);

}  // namespace dkscr
