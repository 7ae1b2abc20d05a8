#pragma once
// The command line of dkscrcmd: option state, the option grammar and the usage text.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/SlideFormats.h"
#include "text/CodePageNumber.h"

namespace dkscr {

struct CmdOptions {
  bool overwrite = false;       // -o: an existing destination may be replaced
  std::string forcedType;       // -t: converter type instead of the extension, upper case
  int32_t codePage = 0;         // -c: 0 stands for the default code page
  SlideMode mode = SlideMode::kText;  // -m: the output form
  std::optional<int> sValue;    // -s: accepted for compatibility, never read
  bool optionError = false;     // the last parsed option was invalid
};

// Parses one option argument into `options`. Sets optionError when it is not a valid option;
// the other fields keep their values then. Repeated options overwrite earlier ones.
void ParseOption(std::string_view arg, CmdOptions& options);

// The usage text without its final line break; programName is the file name as started.
std::string UsageText(std::string_view programName);

// The file name part of argv[0] (everything after the last '/').
std::string_view ProgramFileName(std::string_view argv0);

}  // namespace dkscr
