// The desktop program's entry: the command line, then the program itself.
#include <unistd.h>

#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "app/shell/CommandLine.h"
#include "app/shell/Program.h"
#include "include/deckscribe/deckscribe.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);  // takes Qt's own options out of argv
  dkscr::SetUpApplication(app);
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string folder(4096, '\0');
  folder = ::getcwd(folder.data(), folder.size()) != nullptr ? folder.c_str() : "/";
  const dkscr::CommandLine line = dkscr::ParseCommandLine(args, folder);
  if (!line.error.empty()) {
    std::fprintf(stderr, "Deckscribe: unknown option %s\n%s", line.error.c_str(),
                 dkscr::CommandLineUsage().c_str());
    return 2;
  }
  if (line.help) {
    std::fputs(dkscr::CommandLineUsage().c_str(), stdout);
    return 0;
  }
  if (line.version) {
    std::printf("Deckscribe %s\n", DKSCR_VERSION_STRING);
    return 0;
  }
  return dkscr::RunProgram(line.paths);
}
