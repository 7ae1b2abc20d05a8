// The console program's option grammar on arbitrary arguments: no crash, and what it accepts
// is consistent (a parsed -c number prints back to the same value, a forced type is upper case).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "cli/CmdOptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  dkscr::CmdOptions options;
  size_t start = 0;
  // Zero bytes separate the arguments, as on a real command line.
  while (start <= bytes.size()) {
    size_t end = bytes.find('\0', start);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view arg = bytes.substr(start, end - start);
    const dkscr::CmdOptions before = options;
    dkscr::ParseOption(arg, options);
    if (options.optionError) {
      if (options.overwrite != before.overwrite || options.codePage != before.codePage ||
          options.forcedType != before.forcedType) {
        std::abort();
      }
    }
    for (char c : options.forcedType) {
      if (c >= 'a' && c <= 'z') std::abort();
    }
    if (const auto value = dkscr::ParseInt32(arg)) {
      if (dkscr::ParseInt32(std::to_string(*value)) != value) std::abort();
    }
    start = end + 1;
  }
  return 0;
}
