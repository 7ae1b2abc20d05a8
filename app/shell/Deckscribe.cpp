// The desktop program's entry: the command line, then the program itself.
#ifdef _WIN32
#include <direct.h>
#else
#include <unistd.h>
#endif

#include <QApplication>
#include <QStringList>
#include <cstdio>
#include <string>
#include <vector>

#include "app/shell/CommandLine.h"
#include "app/shell/Program.h"
#include "include/deckscribe/deckscribe.h"
#include "platform/NativePath.h"

namespace {

// The current folder as a native path.
std::string CurrentFolder() {
#ifdef _WIN32
  std::vector<wchar_t> buffer(32768);
  if (::_wgetcwd(buffer.data(), static_cast<int>(buffer.size())) == nullptr) return ".";
  const std::wstring wide(buffer.data());
  return dkscr::PathToNative(std::u16string(wide.begin(), wide.end()));
#else
  std::string folder(4096, '\0');
  return ::getcwd(folder.data(), folder.size()) != nullptr ? folder.c_str() : "/";
#endif
}

// The arguments after the program's name, once Qt has taken its own: on Windows from Qt,
// which has them in UTF-16 (argv is in the ANSI code page).
std::vector<std::string> Arguments(const QApplication& app, int argc, char* argv[]) {
#ifdef _WIN32
  (void)argc;
  (void)argv;
  std::vector<std::string> args;
  const QStringList all = app.arguments();
  for (qsizetype i = 1; i < all.size(); ++i) args.push_back(dkscr::PathToNative(all[i].toStdU16String()));
  return args;
#else
  (void)app;
  return std::vector<std::string>(argv + 1, argv + argc);
#endif
}

}  // namespace

int main(int argc, char* argv[]) {
  const std::string folder = CurrentFolder();
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
  const dkscr::CommandLine line = dkscr::ParseCommandLine(Arguments(app, argc, argv), folder);
  if (!line.error.empty()) {
    std::fprintf(stderr, "Deckscribe: unknown option %s\n%s", line.error.c_str(),
                 dkscr::CommandLineUsage().c_str());
    return 2;
  }
  dkscr::SetUpApplication(app);
  return dkscr::RunProgram(line.paths);
}
