#pragma once
// The console's words for what happened to a file, shared by dkscrcmd and dkscrbatch.
#include <string>
#include <string_view>

#include "core/ResultCodes.h"
#include "tools/ConvertToTarget.h"

namespace dkscr {

// The console text of a result code with the path in place of its "%s".
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
