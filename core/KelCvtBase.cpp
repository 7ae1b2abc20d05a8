#include "core/KelCvtBase.h"

#include <cstring>

#include "core/CodePage.h"
#include "core/Utf.h"

namespace dkscr {
namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

std::string Utf16LeWithBom(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(2 + text.size() * 2);
  bytes += "\xFF\xFE";
  for (char16_t u : text) {
    bytes.push_back(static_cast<char>(u & 0xFF));
    bytes.push_back(static_cast<char>(u >> 8));
  }
  return bytes;
}

}  // namespace

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
  if (!output.Resize(bytes.size() + 1)) return kResultFormatError;
  if (!bytes.empty()) std::memcpy(output.Data(), bytes.data(), bytes.size());
  return static_cast<ResultCode>(bytes.size());
}

ResultCode EncodeWideText(std::u16string_view text, int32_t codePage, OutputBuffer& output) {
  const std::u16string crlf = ConvertLineBreaksWide(text, kLineBreakCrLf);
  std::string bytes;
  if (codePage == kCodePageUtf8) {
    bytes.reserve(3 + crlf.size() * 3);
    bytes = kUtf8Bom;
    AppendWideAsUtf8(crlf, bytes);
  } else if (codePage == kCodePageUtf16Le) {
    bytes = Utf16LeWithBom(crlf);
  } else {
    bytes = WideToCodePage(codePage, crlf);
  }
  return CopyToOutput(bytes, output);
}

ResultCode EncodeUtf8Text(std::string_view text, int lineBreakStyle, int32_t codePage,
                          OutputBuffer& output) {
  std::string converted = ConvertLineBreaks(text, lineBreakStyle);
  if (codePage == kCodePageUtf8) {
    converted.insert(0, kUtf8Bom);
    return CopyToOutput(converted, output);
  }
  const std::u16string wide = Utf8ToWide(converted);
  if (codePage == kCodePageUtf16Le) return CopyToOutput(Utf16LeWithBom(wide), output);
  return CopyToOutput(WideToCodePage(codePage, wide), output);
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
