#include "cli/CmdMain.h"

#include <string_view>

#include "cli/CmdOptions.h"
#include "text/CodePage.h"

namespace dkscr {

CmdOptions ParseCommandLine(std::span<const char* const> args) {
  // The last two arguments are always the source and the destination, whatever they look like.
  const size_t count = args.empty() ? 0 : args.size() - 1;
  CmdOptions options;
  options.optionError = count != 2;
  for (size_t i = 1; i + 2 <= count; ++i) {
    ParseOption(args[i], options);
    if (options.optionError) break;
  }
  // A code page that gives no text at all is as wrong as one that is no number.
  if (!options.optionError && !IsCodePageServed(options.codePage)) options.optionError = true;
  return options;
}

std::string VersionText() { return "dkscrcmd (Deckscribe) " DKSCR_VERSION; }

int RunCommand(std::span<const char* const> args, const FileConverter& convert,
               ConsoleOutput& console) {
  const std::string_view argv0 =
      !args.empty() && args[0] != nullptr ? std::string_view(args[0]) : "dkscrcmd";
  const CmdOptions options = ParseCommandLine(args);
  const size_t count = args.empty() ? 0 : args.size() - 1;
  // Alone, --help and --version answer and succeed; any other single argument is an error.
  if (count == 1 && args[1] != nullptr) {
    const std::string_view only = args[1];
    if (only == "--help" || only == "--version") {
      console.WriteMessage(only == "--help" ? UsageText(ProgramFileName(argv0)) : VersionText());
      return console.Flush() ? 0 : kResultTargetWriteError;
    }
  }
  if (options.optionError) {
    console.WriteMessage(UsageText(ProgramFileName(argv0)));
    return 2;
  }

  OutputBuffer buffer;  // freed on every path when it goes out of scope
  CommandJob job;
  job.source = args[count - 1];
  job.destination = args[count];
  job.overwrite = options.overwrite;
  job.forcedType = options.forcedType;
  job.codePage = options.codePage;
  job.mode = options.mode;
  const int code = ConvertOneFile(job, convert, buffer, console);
  console.Flush();
  return code;
}

}  // namespace dkscr
