#include "zip/ZipNames.h"

#include <algorithm>

#include "platform/Utf.h"
#include "text/CodePage.h"
#include "text/Encode.h"
#include "zip/ZipFormat.h"

namespace dkscr {

std::string StoredEntryName(std::string_view raw, bool oemHost, uint16_t flags) {
  std::string name(raw);
  std::replace(name.begin(), name.end(), '/', '\\');
  const bool ascii = std::all_of(name.begin(), name.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii || !oemHost || (flags & kZipFlagUtf8Name) != 0) return name;
  const std::u16string wide = CodePageToWide(kCodePageOem, name);
  const int32_t ansi = DefaultCodePage();
  std::string converted = ansi == kCodePageUtf8 ? WideToUtf8(wide) : WideToCodePage(ansi, wide);
  return converted.empty() ? name : converted;
}

std::string NameMatchKey(std::string_view name) {
  std::string key(name);
  for (char& c : key) c = MatchKeyByte(c);
  return key;
}

bool PathsEqualIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char16_t x = a[i];
    char16_t y = b[i];
    if (x == y) continue;
    if (x >= u'A' && x <= u'Z') x = static_cast<char16_t>(x - u'A' + u'a');
    if (y >= u'A' && y <= u'Z') y = static_cast<char16_t>(y - u'A' + u'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace dkscr
