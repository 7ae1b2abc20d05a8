#include "text/Encode.h"

#include "platform/Utf.h"
#include "text/CodePage.h"
#include "text/TextEncoder.h"

namespace dkscr {

std::string WideToCodePage(int32_t codePage, std::u16string_view text) {
  if (text.empty()) return {};
  if (codePage == 0) {
    codePage = DefaultCodePage();
    if (codePage == kCodePageUtf8) return WideToUtf8(text);
  }
  return EncodeForCodePage(codePage, text);
}

ResultCode EncodeWideText(std::u16string_view text, int32_t codePage, OutputBuffer& output) {
  TextEncoder encoder(TextEncoder::Input::kWide, kLineBreakCrLf, codePage);
  encoder.Append(text);
  return encoder.Finish(output);
}

ResultCode EncodeUtf8Text(std::string_view text, int lineBreakStyle, int32_t codePage,
                          OutputBuffer& output) {
  TextEncoder encoder(TextEncoder::Input::kUtf8, lineBreakStyle, codePage);
  encoder.Append(text);
  return encoder.Finish(output);
}

std::u16string BytesToWide(std::string_view bytes) {
  std::u16string out(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < out.size(); ++i) {
    out[i] = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * i]) |
                                   (static_cast<uint8_t>(bytes[2 * i + 1]) << 8));
  }
  return out;
}

}  // namespace dkscr
