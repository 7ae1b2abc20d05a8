// dkscrbatch: converts whole folders and lists of presentations in one process, on every core.
#include <unistd.h>

#include <clocale>
#include <csignal>
#include <span>

#include "batch/BatchRun.h"

int main(int argc, char** argv) {
  // The locale's character set gives code page 0 (-c0), as in dkscrcmd.
  std::setlocale(LC_CTYPE, "");
  // A reader that goes away is a write error to report, not a reason to die.
  std::signal(SIGPIPE, SIG_IGN);
  dkscr::BatchStreams streams;
  streams.errIsTerminal = ::isatty(STDERR_FILENO) == 1;
  return dkscr::RunBatch(std::span<const char* const>(argv, static_cast<size_t>(argc)), streams);
}
