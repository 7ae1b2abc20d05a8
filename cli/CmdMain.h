#pragma once
// The main routine of dkscrcmd, apart from the process so that tests can drive it.
#include <span>

#include "cli/ConsoleOutput.h"
#include "cli/ConvertOneFile.h"

namespace dkscr {

// args: argv as the process got it (program name first). Returns the exit code.
int RunCommand(std::span<const char* const> args, const ConverterTable& converters,
               ConsoleOutput& console);

}  // namespace dkscr
