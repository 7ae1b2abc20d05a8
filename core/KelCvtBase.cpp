#include "core/KelCvtBase.h"

#include <cstring>

#include "core/CodePage.h"
#include "core/TextEncoder.h"
#include "core/Utf.h"

namespace dkscr {

std::string WideToCodePage(int32_t codePage, std::u16string_view text) {
  if (text.empty()) return {};
  if (codePage == 0) {
    codePage = DefaultCodePage();
    if (codePage == kCodePageUtf8) return WideToUtf8(text);
  }
  return EncodeForCodePage(codePage, text);
}

ResultCode CopyToOutput(std::string_view bytes, OutputBuffer& output) {
  if (bytes.size() > static_cast<size_t>(INT32_MAX) - 1) return kResultFormatError;
  if (!output.Resize(bytes.size() + 1)) return kResultOutOfMemory;
  if (!bytes.empty()) std::memcpy(output.Data(), bytes.data(), bytes.size());
  return static_cast<ResultCode>(bytes.size());
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
