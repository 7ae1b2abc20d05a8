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
  std::string folder(4096, '\0');
  folder = ::getcwd(folder.data(), folder.size()) != nullptr ? folder.c_str() : "/";
  // --help and --version answer without a display; Qt's own options are not known yet.
  const dkscr::CommandLine first =
      dkscr::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), folder);
  if (first.help) {
    std::fputs(dkscr::CommandLineUsage().c_str(), stdout);
    return 0;
  }
  if (first.version) {
    std::printf("Deckscribe %s\n", DKSCR_VERSION_STRING);
    return 0;
  }
  QApplication app(argc, argv);  // takes Qt's own options out of argv
  const dkscr::CommandLine line =
      dkscr::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), folder);
  if (!line.error.empty()) {
    std::fprintf(stderr, "Deckscribe: unknown option %s\n%s", line.error.c_str(),
                 dkscr::CommandLineUsage().c_str());
    return 2;
  }
  dkscr::SetUpApplication(app);
  return dkscr::RunProgram(line.paths);
}
