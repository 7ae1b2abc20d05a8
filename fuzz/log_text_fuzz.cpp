// The log viewer's reading of arbitrary log bytes and the code-page box's parsing of
// arbitrary text: no crash, and what is read survives a write and a second read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/dialogs/CodePageList.h"
#include "app/dialogs/LogText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  const auto lines = dkscr::LogBytesToLines(bytes);
  for (const auto& line : lines) {
    for (char16_t unit : line) {
      if (unit == u'\r' || unit == u'\n') std::abort();
    }
  }
  if (dkscr::LogBytesToLines(dkscr::LinesToUtf16File(lines)) != lines) std::abort();

  if (const auto codePage = dkscr::ParseCodePageText(bytes)) {
    if (dkscr::ParseCodePageText(dkscr::CodePageDisplayText(*codePage)) != codePage)
      std::abort();
  }
  return 0;
}
