// dkscrcmd: converts one presentation into a text file or to standard output.
#include <unistd.h>

#include <clocale>
#include <span>

#include "cli/CmdMain.h"
#include "core/KelPptCvt.h"
#include "openxml/OfficeXCvt.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");  // the default code page follows the user's locale
  const dkscr::ConverterTable converters{dkscr::ConvertPpt, dkscr::ConvertPptx};
  dkscr::ConsoleOutput console(STDOUT_FILENO);
  // Negative codes reach the shell as 256 plus the code (-2 as 254).
  return dkscr::RunCommand(std::span<const char* const>(argv, static_cast<size_t>(argc)),
                           converters, console);
}
