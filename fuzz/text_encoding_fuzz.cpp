// Line-break rewriting and UTF-8 decoding on arbitrary bytes: no crash, and the invariants
// the encoders rely on hold.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/NativePath.h"
#include "platform/Utf.h"
#include "text/Encode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (int style : {dkscr::kLineBreakLf, dkscr::kLineBreakCrLf, dkscr::kLineBreakCr}) {
    if (dkscr::ConvertLineBreaks(bytes, style).size() != dkscr::LineBreakLength(bytes, style)) {
      std::abort();
    }
  }
  const std::u16string wide = dkscr::Utf8ToWide(bytes);
  // Re-encoding the decoded text must decode to the same text again.
  if (dkscr::Utf8ToWide(dkscr::WideToUtf8(wide)) != wide) std::abort();
  if (dkscr::PathToNative(dkscr::PathFromNative(bytes)) != bytes) std::abort();
  dkscr::ConvertLineBreaksWide(dkscr::BytesToWide(bytes), dkscr::kLineBreakCrLf);
  dkscr::OutputBuffer out;
  const int32_t codePage = size > 0 ? (data[0] % 4 == 0 ? 65001 : data[0] % 4 == 1 ? 1200 : 932) : 1252;
  if (dkscr::EncodeUtf8Text(bytes, dkscr::kLineBreakCrLf, codePage, out) < 0) std::abort();
  if (dkscr::EncodeWideText(wide, codePage, out) < 0) std::abort();
  return 0;
}
