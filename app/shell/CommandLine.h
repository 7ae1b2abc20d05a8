#pragma once
// The desktop program's command line: files and folders to add to the list (as the desktop
// hands them over with "Open with"), and the usual --help and --version.
#include <string>
#include <vector>

namespace dkscr {

struct CommandLine {
  std::vector<std::u16string> paths;  // absolute, in the order given
  bool help = false;
  bool version = false;
  std::string error;  // an option the program does not know; empty when all is well
};

// `args` are the arguments after the program's name, once Qt has taken its own options;
// `currentFolder` (native) makes relative paths absolute. "--" ends the options, so that a
// file whose name starts with "-" can be named.
CommandLine ParseCommandLine(const std::vector<std::string>& args, const std::string& currentFolder);

// The text of --help.
std::string CommandLineUsage();

}  // namespace dkscr
