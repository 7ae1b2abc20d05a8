#pragma once
// The output encodings of whole texts, over the encoder of pieces; with the code pages and
// line breaks they rest on.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/OutputBuffer.h"
#include "platform/ResultCodes.h"
#include "text/CodePage.h"
#include "text/LineBreaks.h"

namespace dkscr {

// UTF-16 text -> CR LF text in the code page, in the buffer. Returns the byte length.
ResultCode EncodeWideText(std::u16string_view text, int32_t codePage, OutputBuffer& output);
// UTF-8 text -> text with the given line-break style in the code page, in the buffer.
ResultCode EncodeUtf8Text(std::string_view text, int lineBreakStyle, int32_t codePage,
                          OutputBuffer& output);

// UTF-16 to a code page; characters without a mapping become the default character "?".
// Code page 0 is the default code page (plain UTF-8 when that is 65001). Code pages we cannot
// serve, 65001 and 1200 among them, give an empty result; so does an empty text.
std::string WideToCodePage(int32_t codePage, std::u16string_view text);

// Little-endian code units from bytes; an odd last byte is dropped.
std::u16string BytesToWide(std::string_view bytes);

}  // namespace dkscr
