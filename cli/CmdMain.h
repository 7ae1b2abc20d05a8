#pragma once
// The main routine of dkscrcmd, apart from the process so that tests can drive it.
#include <span>
#include <string>

#include "cli/CmdOptions.h"
#include "cli/ConsoleOutput.h"
#include "cli/ConvertOneFile.h"

namespace dkscr {

// The options of a command line (argv as the process got it); optionError when an option is
// invalid or the source and destination are not the last two arguments.
CmdOptions ParseCommandLine(std::span<const char* const> args);

// The answer to --version without its final line break: "dkscrcmd (Deckscribe) 0.1.0".
std::string VersionText();

// args: argv as the process got it (program name first). Returns the exit code.
int RunCommand(std::span<const char* const> args, const FileConverter& convert,
               ConsoleOutput& console);

}  // namespace dkscr
