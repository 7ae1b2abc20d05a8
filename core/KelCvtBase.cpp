#include "core/KelCvtBase.h"

#include <langinfo.h>
#include <locale.h>

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

int32_t DefaultCodePage() {
  const char* codeset = nl_langinfo(CODESET);
  return CodePageOfCodeset(codeset != nullptr ? codeset : "");
}

int32_t CodePageOfLocale(std::string_view localeName) {
  const std::string name(localeName);
  if (locale_t loc = newlocale(LC_CTYPE_MASK, name.c_str(), static_cast<locale_t>(nullptr))) {
    const char* codeset = nl_langinfo_l(CODESET, loc);
    const int32_t codePage = CodePageOfCodeset(codeset != nullptr ? codeset : "");
    freelocale(loc);
    return codePage;
  }
  // Not installed here: the name may still say its character set ("lang_TERRITORY.SET@mod").
  const size_t dot = name.find('.');
  if (dot != std::string::npos) {
    const size_t at = name.find('@', dot);
    return CodePageOfCodeset(name.substr(dot + 1, at == std::string::npos ? at : at - dot - 1));
  }
  return DefaultCodePage();
}

std::string WideToCodePage(int32_t codePage, std::u16string_view text) {
  if (text.empty()) return {};
  if (codePage == 0) {
    codePage = DefaultCodePage();
    if (codePage == kCodePageUtf8) return WideToUtf8(text);
  }
  return EncodeWithIconv(codePage, text);
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
