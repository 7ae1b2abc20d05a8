#include "core/KelCvtBase.h"

#include <langinfo.h>
#include <locale.h>

#include <cstring>

#include "core/CodePage.h"
#include "core/TextEncoder.h"
#include "core/Utf.h"

namespace dkscr {
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
