#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace dkscr {

// The code page of the current locale's character set (the program adopts the user's locale
// at start). UTF-8, ASCII and unknown sets give 65001 so that no text is lost by default.
// On Windows: the system's ANSI code page (GetACP).
int32_t DefaultCodePage();
// The same for a named locale ("ru_RU.KOI8-R"; "ru-RU" on Windows); DefaultCodePage() when
// it tells nothing.
int32_t CodePageOfLocale(std::string_view localeName);

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

// Whether text can be written in the code page: 0 (the default code page), UTF-8, UTF-16LE
// and the code pages the platform serves. Any other gives no text at all, which callers
// report as an error rather than as an empty success.
bool IsCodePageServed(int32_t codePage);

// Bytes in a code page to UTF-16; undecodable bytes become U+FFFD. Code page 0 is the
// default code page; 65001 is UTF-8. An unserved code page gives an empty text.
std::u16string CodePageToWide(int32_t codePage, std::string_view bytes);

// UTF-16 to a code page, each character without a mapping (and each lone surrogate) becoming
// the code page's default character; on Windows the system may choose a similar character
// first (best fit). Empty when unserved.
std::string EncodeForCodePage(int32_t codePage, std::u16string_view text);

// EncodeForCodePage a piece at a time, for text too large to hold in two forms at once: the
// pieces give the bytes of their concatenation as long as none ends between the two halves of
// a surrogate pair. Shift states carry over from piece to piece.
class WideToCodePageEncoder {
 public:
  explicit WideToCodePageEncoder(int32_t codePage);
  ~WideToCodePageEncoder();
  WideToCodePageEncoder(const WideToCodePageEncoder&) = delete;
  WideToCodePageEncoder& operator=(const WideToCodePageEncoder&) = delete;

  void Encode(std::u16string_view text, std::string& out);
  // Returns to the initial shift state after the last piece.
  void Finish(std::string& out);

 private:
  class State;  // the platform's conversion state
  int32_t codePage_;
  std::unique_ptr<State> state_;  // none where there is nothing to carry or nothing served
  bool used_ = false;
};

}  // namespace dkscr
