// The code-page services on Windows: the system's own conversions, so that text comes out in
// any code page exactly as other Windows programs write it (a similar letter where the system
// has a best fit, the code page's default character otherwise).
#include <windows.h>

#include "platform/Utf.h"
#include "text/CodePage.h"

namespace dkscr {
namespace {

const wchar_t* AsWide(std::u16string_view text) { return reinterpret_cast<const wchar_t*>(text.data()); }

int WideToBytes(int32_t codePage, std::u16string_view text, char* out, int room, BOOL* usedDefault) {
  return ::WideCharToMultiByte(static_cast<UINT>(codePage), 0, AsWide(text),
                               static_cast<int>(text.size()), out, room, nullptr, usedDefault);
}

}  // namespace

bool IsCodePageServed(int32_t codePage) {
  return codePage == 0 || codePage == kCodePageUtf8 || codePage == kCodePageUtf16Le ||
         ::IsValidCodePage(static_cast<UINT>(codePage)) != 0;
}

int32_t DefaultCodePage() { return static_cast<int32_t>(::GetACP()); }

int32_t CodePageOfLocale(std::string_view localeName) {
  // "ru-RU", or the POSIX spelling "ru_RU.KOI8-R": the language and territory decide.
  std::wstring tag;
  for (char c : localeName) {
    if (c == '.' || c == '@') break;
    tag.push_back(c == '_' ? L'-' : static_cast<wchar_t>(static_cast<unsigned char>(c)));
  }
  DWORD codePage = 0;
  if (!tag.empty() &&
      ::GetLocaleInfoEx(tag.c_str(), LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                        reinterpret_cast<LPWSTR>(&codePage), sizeof codePage / sizeof(wchar_t)) > 0 &&
      codePage != 0) {
    return static_cast<int32_t>(codePage);
  }
  return DefaultCodePage();
}

std::u16string CodePageToWide(int32_t codePage, std::string_view bytes) {
  if (codePage == 0) codePage = DefaultCodePage();
  // Our own UTF-8 decoder, so that bad bytes become U+FFFD exactly as everywhere else.
  if (codePage == kCodePageUtf8) return Utf8ToWide(bytes);
  if (bytes.empty() || bytes.size() > INT32_MAX / 2) return {};
  const auto size = static_cast<int>(bytes.size());
  const int length = ::MultiByteToWideChar(static_cast<UINT>(codePage), 0, bytes.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::u16string out(static_cast<size_t>(length), u'\0');
  ::MultiByteToWideChar(static_cast<UINT>(codePage), 0, bytes.data(), size,
                        reinterpret_cast<wchar_t*>(out.data()), length);
  return out;
}

std::string EncodeForCodePage(int32_t codePage, std::u16string_view text) {
  // UTF-8 and UTF-7 refuse to say whether a default character was used: nothing, as the
  // converter contract has it. The other code pages that refuse (ISO-2022 and the like) are
  // asked again without that question.
  if (text.empty() || text.size() > INT32_MAX / 4 || codePage == kCodePageUtf8 || codePage == 65000) {
    return {};
  }
  BOOL usedDefault = FALSE;
  BOOL* ask = &usedDefault;
  int length = WideToBytes(codePage, text, nullptr, 0, ask);
  if (length <= 0 && ::GetLastError() == ERROR_INVALID_PARAMETER) {
    ask = nullptr;
    length = WideToBytes(codePage, text, nullptr, 0, ask);
  }
  if (length <= 0) return {};
  std::string out(static_cast<size_t>(length), '\0');
  length = WideToBytes(codePage, text, out.data(), length, ask);
  out.resize(length > 0 ? static_cast<size_t>(length) : 0);
  return out;
}

// Code pages with shift states (ISO-2022, HZ, ISCII) end each conversion in their initial
// state, so their text is converted whole at the end; the others a piece at a time.
class WideToCodePageEncoder::State {
 public:
  std::u16string held;
};

WideToCodePageEncoder::WideToCodePageEncoder(int32_t codePage) : codePage_(codePage) {
  const bool shifts = (codePage >= 50220 && codePage <= 50229) || codePage == 52936 ||
                      (codePage >= 57002 && codePage <= 57011);
  if (shifts) state_ = std::make_unique<State>();
}

WideToCodePageEncoder::~WideToCodePageEncoder() = default;

void WideToCodePageEncoder::Encode(std::u16string_view text, std::string& out) {
  if (text.empty()) return;
  if (state_) {
    state_->held.append(text);
    return;
  }
  out += EncodeForCodePage(codePage_, text);
}

void WideToCodePageEncoder::Finish(std::string& out) {
  if (!state_ || state_->held.empty()) return;
  out += EncodeForCodePage(codePage_, state_->held);
  state_->held.clear();
}

}  // namespace dkscr
