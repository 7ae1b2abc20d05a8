#include "app/shell/CommandLine.h"

#include <filesystem>

#include "platform/NativePath.h"

namespace dkscr {

CommandLine ParseCommandLine(const std::vector<std::string>& args, const std::string& currentFolder) {
  CommandLine line;
  bool options = true;
  for (const std::string& arg : args) {
    if (options && arg == "--") {
      options = false;
    } else if (options && (arg == "--help" || arg == "-h")) {
      line.help = true;
    } else if (options && arg == "--version") {
      line.version = true;
    } else if (options && arg.size() > 1 && arg[0] == '-') {
      if (line.error.empty()) line.error = arg;
    } else if (!arg.empty()) {
      // The bytes of the name as they are, so that a name that is not UTF-8 is found again
      // (on Windows the UTF-16 name, which a narrow path would take through the ANSI code page).
#ifdef _WIN32
      std::filesystem::path path(WidePath(arg));
      if (path.is_relative()) path = std::filesystem::path(WidePath(currentFolder)) / path;
      line.paths.push_back(path.lexically_normal().u16string());
#else
      std::filesystem::path path(arg);
      if (path.is_relative()) path = std::filesystem::path(currentFolder) / path;
      line.paths.push_back(PathFromNative(path.lexically_normal().string()));
#endif
    }
  }
  return line;
}

std::string CommandLineUsage() {
  return "Usage: Deckscribe [FILE|FOLDER]...\n"
         "Keeps a list of PowerPoint presentations and converts them to text files.\n"
         "Each FILE is added to the list; each FOLDER is searched, with its sub-folders,\n"
         "for presentations (.ppt .pps .pot .pptx .pptm .ppsx .ppsm .potx .potm).\n"
         "\n"
         "  -h, --help     show this text and exit\n"
         "      --version  show the version and exit\n";
}

}  // namespace dkscr
