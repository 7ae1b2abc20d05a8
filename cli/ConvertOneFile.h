#pragma once
// One conversion of dkscrcmd: checks, converter choice, writing the text and the message.
#include <cstdint>
#include <string>
#include <string_view>

#include "cli/ConsoleOutput.h"
#include "model/SlideFormats.h"
#include "tools/ConvertToTarget.h"

namespace dkscr {

struct CommandJob {
  std::string_view source;       // as given on the command line (native bytes)
  std::string_view destination;  // a path, or "*" for standard output
  bool overwrite = false;
  std::string_view forcedType;   // upper case, empty for "by extension"
  int32_t codePage = 0;          // 0: the default code page
  SlideMode mode = SlideMode::kText;
};

inline constexpr std::string_view kStandardOutputName = "*";
inline constexpr int kExitDestinationExists = 1;

// Runs the conversion, writes its one message (none after text sent to standard output) and
// returns the exit code: 0, 1, or a negative result code. The text is left in `buffer`.
// `convert` is the conversion (tests put fakes in its place; none: ConvertFile).
int ConvertOneFile(const CommandJob& job, const FileConverter& convert, OutputBuffer& buffer,
                   ConsoleOutput& console);

// The converter type of the source's extension, PowerPoint's whole family in any case: "PPT"
// for .ppt, .pps and .pot, "PPTX" for .pptx, .pptm, .ppsx, .ppsm, .potx and .potm; empty for
// any other name.
std::string TypeOfPath(std::string_view path);

}  // namespace dkscr
