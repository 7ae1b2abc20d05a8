// dkscrcmd: converts one presentation into a text file or to standard output.
#include <unistd.h>

#include <clocale>
#include <csignal>
#include <span>

#include "cli/CmdMain.h"
#include "core/KelPptCvt.h"
#include "core/PptSlides.h"
#include "openxml/OfficeXCvt.h"
#include "openxml/PptxSlides.h"

int main(int argc, char** argv) {
  const std::span<const char* const> args(argv, static_cast<size_t>(argc));
  // The character set of the user's locale gives the default code page; the program uses no
  // other locale category, so only this one is loaded, and only for a run that needs the
  // default code page (a process per file makes that count).
  const dkscr::CmdOptions options = dkscr::ParseCommandLine(args);
  if (!options.optionError && options.codePage == 0) std::setlocale(LC_CTYPE, "");
  // A reader that goes away (| head) makes writes fail with EPIPE, reported as a write error
  // with its exit code, instead of killing the process.
  std::signal(SIGPIPE, SIG_IGN);
  const dkscr::ConverterTable converters{dkscr::ConvertPpt, dkscr::ConvertPptx, dkscr::ConvertPptSlides,
                                         dkscr::ConvertPptxSlides};
  dkscr::ConsoleOutput console(STDOUT_FILENO);
  // Negative codes reach the shell as 256 plus the code (-2 as 254).
  return dkscr::RunCommand(args, converters, console);
}
