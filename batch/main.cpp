// dkscrbatch: converts whole folders and lists of presentations in one process, on every core.
#include <clocale>
#include <csignal>
#include <span>
#include <string>
#include <vector>

#include "batch/BatchRun.h"
#include "tools/EndSignals.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "platform/NativePath.h"
#else
#include <unistd.h>
#endif

#ifdef _WIN32
// Windows gives the arguments as UTF-16: they go on as UTF-8, so that every file name works.
int wmain(int argc, wchar_t** argv) {
  // JSON Lines and path lists pass as they are, "\n" and NUL bytes included.
  ::_setmode(0, _O_BINARY);
  ::_setmode(1, _O_BINARY);
  const std::vector<std::string> args = dkscr::NativeArguments(argc, argv);
  std::vector<const char*> pointers;
  for (const std::string& arg : args) pointers.push_back(arg.c_str());
  dkscr::BatchStreams streams;
  streams.errIsTerminal = ::_isatty(2) != 0;
  return dkscr::RunBatch(pointers, streams);
}
#else
int main(int argc, char** argv) {
  // The locale's character set gives code page 0 (-c0), as in dkscrcmd.
  std::setlocale(LC_CTYPE, "");
  // A reader that goes away is a write error to report, not a reason to die.
  std::signal(SIGPIPE, SIG_IGN);
  // Interrupted, it leaves no temporary file and no partial line behind.
  dkscr::WatchEndSignals();
  dkscr::BatchStreams streams;
  streams.errIsTerminal = ::isatty(STDERR_FILENO) == 1;
  return dkscr::RunBatch(std::span<const char* const>(argv, static_cast<size_t>(argc)), streams);
}
#endif
