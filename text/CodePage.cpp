#include "text/CodePage.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

#include "platform/Utf.h"
#include "text/Cp1252.h"

namespace dkscr {
namespace {

struct CodePageName {
  int32_t codePage;
  const char* name;
};

constexpr CodePageName kNames[] = {
    {437, "CP437"},       {737, "CP737"},        {775, "CP775"},       {850, "CP850"},
    {852, "CP852"},       {855, "CP855"},        {857, "CP857"},       {860, "CP860"},
    {861, "CP861"},       {862, "CP862"},        {863, "CP863"},       {864, "CP864"},
    {865, "CP865"},       {866, "CP866"},        {869, "CP869"},       {874, "CP874"},
    {932, "CP932"},       {936, "CP936"},        {949, "CP949"},       {950, "CP950"},
    {1250, "CP1250"},     {1251, "CP1251"},      {1252, "CP1252"},     {1253, "CP1253"},
    {1254, "CP1254"},     {1255, "CP1255"},      {1256, "CP1256"},     {1257, "CP1257"},
    {1258, "CP1258"},     {1361, "JOHAB"},       {10000, "MACINTOSH"}, {20127, "ASCII"},
    {20866, "KOI8-R"},    {20932, "EUC-JP"},     {21866, "KOI8-U"},    {28591, "ISO-8859-1"},
    {28592, "ISO-8859-2"}, {28593, "ISO-8859-3"}, {28594, "ISO-8859-4"}, {28595, "ISO-8859-5"},
    {28596, "ISO-8859-6"}, {28597, "ISO-8859-7"}, {28598, "ISO-8859-8"}, {28599, "ISO-8859-9"},
    {28600, "ISO-8859-10"}, {28601, "ISO-8859-11"}, {28603, "ISO-8859-13"},
    {28604, "ISO-8859-14"}, {28605, "ISO-8859-15"}, {28606, "ISO-8859-16"},
    {50220, "ISO-2022-JP"}, {51932, "EUC-JP"},    {51949, "EUC-KR"},    {54936, "GB18030"},
};

const char* WideIconvName() {
  return std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
}

class IconvHandle {
 public:
  IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~IconvHandle() {
    if (ok()) iconv_close(cd_);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

// Runs iconv over [in, in+inLeft) appending to out. Returns false on a conversion error,
// with in/inLeft at the offending input; true when the input is consumed.
bool RunIconv(iconv_t cd, char*& in, size_t& inLeft, std::string& out) {
  while (true) {
    const size_t used = out.size();
    const size_t room = std::max<size_t>(64, inLeft * 2);
    out.resize(used + room);
    char* outPtr = out.data() + used;
    size_t outLeft = room;
    const size_t rc = iconv(cd, inLeft ? &in : nullptr, inLeft ? &inLeft : nullptr, &outPtr,
                            &outLeft);
    const int err = errno;
    out.resize(out.size() - outLeft);
    if (rc != static_cast<size_t>(-1)) return true;
    if (err != E2BIG) return false;
  }
}

void Cp1252Encode(std::u16string_view text, std::string& out) {
  const size_t start = out.size();
  out.resize(start + text.size());
  size_t n = start;
  for (size_t i = 0; i < text.size(); ++i) {
    uint8_t b;
    if (!WideToCp1252(text[i], b)) {
      b = '?';
      if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) ++i;
    }
    out[n++] = static_cast<char>(b);
  }
  out.resize(n);
}

}  // namespace

const char* IconvNameOfCodePage(int32_t codePage) {
  for (const auto& entry : kNames) {
    if (entry.codePage == codePage) return entry.name;
  }
  return nullptr;
}

bool IsCodePageServed(int32_t codePage) {
  if (codePage == 0 || codePage == kCodePageUtf8 || codePage == kCodePageUtf16Le || codePage == kCodePage1252) {
    return true;
  }
  const char* name = IconvNameOfCodePage(codePage);
  return name != nullptr && IconvHandle(name, WideIconvName()).ok();
}

int32_t CodePageOfCodeset(std::string_view codeset) {
  std::string key;
  for (char c : codeset) {
    // ASCII only: the folding of the user's locale (Turkish "i") must not change a name.
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != '-' && c != '_') key.push_back(c);
  }
  if (key.rfind("ISO8859", 0) == 0 && key.size() > 7) {
    int n = 0;
    for (size_t i = 7; i < key.size() && n < 100; ++i) {
      if (key[i] < '0' || key[i] > '9') return kCodePageUtf8;
      n = n * 10 + (key[i] - '0');
    }
    return (n >= 1 && n <= 16) ? 28590 + n : kCodePageUtf8;
  }
  struct Alias {
    const char* key;
    int32_t codePage;
  };
  static constexpr Alias kAliases[] = {
      {"KOI8R", 20866}, {"KOI8U", 21866},   {"GBK", 936},      {"GB2312", 936},
      {"EUCCN", 936},   {"GB18030", 54936}, {"BIG5", 950},     {"BIG5HKSCS", 950},
      {"EUCKR", 949},   {"SHIFTJIS", 932},  {"SJIS", 932},     {"WINDOWS31J", 932},
      {"TIS620", 874},  {"CP874", 874},     {"CP932", 932},    {"CP936", 936},
      {"CP949", 949},   {"CP950", 950},
  };
  for (const auto& alias : kAliases) {
    if (key == alias.key) return alias.codePage;
  }
  for (const char* prefix : {"CP", "WINDOWS"}) {
    const size_t len = std::strlen(prefix);
    if (key.size() == len + 4 && key.compare(0, len, prefix) == 0 &&
        key.compare(len, 3, "125") == 0 && key[len + 3] >= '0' && key[len + 3] <= '8') {
      return 1250 + (key[len + 3] - '0');
    }
  }
  return kCodePageUtf8;  // UTF-8, ASCII and anything unknown: lose nothing
}

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

std::u16string CodePageToWide(int32_t codePage, std::string_view bytes) {
  if (codePage == 0) codePage = DefaultCodePage();
  if (codePage == kCodePageUtf8) return Utf8ToWide(bytes);
  if (codePage == kCodePage1252) return Cp1252Decode(bytes);
  const char* name = IconvNameOfCodePage(codePage);
  if (name == nullptr || bytes.empty()) return {};
  IconvHandle cd(WideIconvName(), name);
  if (!cd.ok()) return {};
  std::string raw;
  std::string input(bytes);
  char* in = input.data();
  size_t inLeft = input.size();
  while (!RunIconv(cd.get(), in, inLeft, raw)) {
    // One undecodable byte becomes one replacement character.
    raw.append(reinterpret_cast<const char*>(&kReplacementChar), sizeof(char16_t));
    ++in;
    --inLeft;
  }
  RunIconv(cd.get(), in, inLeft, raw);  // flush shift state
  std::u16string out(raw.size() / 2, u'\0');
  std::memcpy(out.data(), raw.data(), out.size() * 2);
  return out;
}

class WideToCodePageEncoder::State : public IconvHandle {
 public:
  using IconvHandle::IconvHandle;
};

WideToCodePageEncoder::WideToCodePageEncoder(int32_t codePage) : codePage_(codePage) {
  if (codePage == kCodePage1252) return;
  if (const char* name = IconvNameOfCodePage(codePage)) {
    state_ = std::make_unique<State>(name, WideIconvName());
    if (!state_->ok()) state_.reset();
  }
}

WideToCodePageEncoder::~WideToCodePageEncoder() = default;

void WideToCodePageEncoder::Encode(std::u16string_view text, std::string& out) {
  if (text.empty()) return;
  if (codePage_ == kCodePage1252) {
    Cp1252Encode(text, out);
    return;
  }
  if (!state_) return;  // unserved: no bytes at all
  used_ = true;
  char* in = reinterpret_cast<char*>(const_cast<char16_t*>(text.data()));
  size_t inLeft = text.size() * sizeof(char16_t);
  while (!RunIconv(state_->get(), in, inLeft, out)) {
    // Unmappable character or lone surrogate: skip it (a pair as a whole) and put the
    // default character in its place, itself through iconv so shift states stay right.
    if (inLeft < sizeof(char16_t)) break;
    const auto* unit = reinterpret_cast<const char16_t*>(in);
    const size_t skip =
        (inLeft >= 2 * sizeof(char16_t) && IsHighSurrogate(unit[0]) && IsLowSurrogate(unit[1]))
            ? 2 : 1;
    in += skip * sizeof(char16_t);
    inLeft -= skip * sizeof(char16_t);
    char16_t question = u'?';
    char* q = reinterpret_cast<char*>(&question);
    size_t qLeft = sizeof(question);
    RunIconv(state_->get(), q, qLeft, out);
  }
}

void WideToCodePageEncoder::Finish(std::string& out) {
  if (!used_) return;
  char* none = nullptr;
  size_t zero = 0;
  RunIconv(state_->get(), none, zero, out);  // flush shift state
  used_ = false;
}

std::string EncodeForCodePage(int32_t codePage, std::u16string_view text) {
  std::string out;
  if (text.empty()) return out;
  out.reserve(text.size());
  WideToCodePageEncoder encoder(codePage);
  encoder.Encode(text, out);
  encoder.Finish(out);
  return out;
}

}  // namespace dkscr
