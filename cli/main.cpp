// dkscrcmd: converts one presentation into a text file or to standard output.
#include <clocale>
#include <csignal>
#include <span>
#include <string>
#include <vector>

#include "cli/CmdMain.h"
#include "tools/EndSignals.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "platform/NativePath.h"
#endif

namespace {

int Run(std::span<const char* const> args) {
  dkscr::ConsoleOutput console(1);
  return dkscr::RunCommand(args, {}, console);
}

}  // namespace

#ifdef _WIN32
// Windows gives the arguments as UTF-16: they go on as UTF-8, so that every file name works.
// The exit code is the 32-bit result itself (-7 stays -7).
int wmain(int argc, wchar_t** argv) {
  // Standard output takes the bytes as they are: CR LF must not become CR CR LF.
  ::_setmode(1, _O_BINARY);
  const std::vector<std::string> args = dkscr::NativeArguments(argc, argv);
  std::vector<const char*> pointers;
  for (const std::string& arg : args) pointers.push_back(arg.c_str());
  return Run(pointers);
}
#else
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
  // Interrupted, it leaves no temporary file and no partial line behind.
  dkscr::WatchEndSignals();
  // Negative codes reach the shell as 256 plus the code (-2 as 254).
  return Run(args);
}
#endif
