#pragma once
// The converter contract: entry shape, output encodings and the helpers they rest on.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/OutputBuffer.h"
#include "core/ResultCodes.h"

namespace dkscr {

// Every converter: source path, the caller's buffer, code page -> result code.
// The caller resolves code page 0 to DefaultCodePage() before calling.
using Converter = ResultCode (*)(const std::u16string& source, OutputBuffer& output,
                                 int32_t codePage);

inline constexpr int kLineBreakLf = 0;
inline constexpr int kLineBreakCrLf = 1;
inline constexpr int kLineBreakCr = 2;

// UTF-16 text -> CR LF text in the code page, in the buffer. Returns the byte length.
ResultCode EncodeWideText(std::u16string_view text, int32_t codePage, OutputBuffer& output);
// UTF-8 text -> text with the given line-break style in the code page, in the buffer.
ResultCode EncodeUtf8Text(std::string_view text, int lineBreakStyle, int32_t codePage,
                          OutputBuffer& output);

// The code page of the current locale's character set (the program adopts the user's locale
// at start). UTF-8, ASCII and unknown sets give 65001 so that no text is lost by default.
// On Windows: the system's ANSI code page (GetACP).
int32_t DefaultCodePage();
// The same for a named locale ("ru_RU.KOI8-R"; "ru-RU" on Windows); DefaultCodePage() when
// it tells nothing.
int32_t CodePageOfLocale(std::string_view localeName);

// UTF-16 to a code page; characters without a mapping become the default character "?".
// Code page 0 is the default code page (plain UTF-8 when that is 65001). Code pages we cannot
// serve, 65001 and 1200 among them, give an empty result; so does an empty text.
std::string WideToCodePage(int32_t codePage, std::u16string_view text);

// Puts the bytes into the buffer (grown to length + 1) and returns the length; -5 when memory
// runs out, the buffer then unchanged.
ResultCode CopyToOutput(std::string_view bytes, OutputBuffer& output);

size_t LineBreakLength(std::string_view bytes, int style);
// CR LF, lone CR and lone LF each become the style's line break; bytes taken one by one.
std::string ConvertLineBreaks(std::string_view bytes, int style);
// The same on UTF-16, where U+2028 counts as a line break too.
std::u16string ConvertLineBreaksWide(std::u16string_view text, int style);

// Little-endian code units from bytes; an odd last byte is dropped.
std::u16string BytesToWide(std::string_view bytes);

}  // namespace dkscr
