#pragma once
// The words the programs use for what happened to a file: the console's, shared by dkscrcmd
// and dkscrbatch, and the desktop program's, which the C interface gives too.
#include <string>
#include <string_view>

#include "platform/ResultCodes.h"
#include "tools/ConvertToTarget.h"

namespace dkscr {

// The texts both front ends show for a result code, kept in one place.
struct ResultCodeTexts {
  ResultCode code;
  // Console line; "%s" stands for a path as the user gave it (the source, or for -6/-7 the
  // destination). Success has its own console line, built by the console program.
  const char* console;
  // The "Convert Message" of the desktop program's file list.
  const char* windowed;
};

// The row for a code. Unlisted negative codes get the -5 row; zero or more gets the success row.
const ResultCodeTexts& TextsForResult(ResultCode code);


// A file name as a message shows it: control characters (C0, DEL, and C1 in UTF-8) written as
// \xNN, so that a name cannot move the cursor, recolour or retitle a terminal, or start a line
// of its own in a log. Any other byte stays as it is.
std::string ShownName(std::string_view name);

// The console text of a result code with the path (shown by ShownName) in place of its "%s".
std::string ResultMessage(ResultCode code, std::string_view path);

// What a finished target job reports: the exit code (the text's length when written, 1 when
// the target was kept, else the failure's code as the conversion reported it) and the console
// line.
struct JobReport {
  ResultCode code = 0;
  std::string message;
};
JobReport ReportOf(const TargetJob& job, const TargetResult& result);

}  // namespace dkscr
