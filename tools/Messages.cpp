#include "tools/Messages.h"

namespace dkscr {
namespace {

// A kept target is no failure: the programs count it apart.
constexpr ResultCode kTargetKept = 1;

}  // namespace

std::string ResultMessage(ResultCode code, std::string_view path) {
  std::string text = TextsForResult(code).console;
  const size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, path);
  return text;
}

JobReport ReportOf(const TargetJob& job, const TargetResult& result) {
  switch (result.outcome) {
    case TargetOutcome::kWritten:
      return {result.code, "\"" + job.source + "\" --> \"" + job.target + "\" OK"};
    case TargetOutcome::kExists:
      return {kTargetKept, "Output file \"" + job.target + "\" already exists, convert canceled"};
    case TargetOutcome::kUpToDate:
      return {kTargetKept, "Output file \"" + job.target + "\" is up to date"};
    case TargetOutcome::kConvertFailed:
      return {result.code, ResultMessage(result.code, job.source)};
    case TargetOutcome::kCreateFailed:
      return {kResultTargetCreateError, ResultMessage(kResultTargetCreateError, job.target)};
    case TargetOutcome::kWriteFailed:
      break;
  }
  return {kResultTargetWriteError, ResultMessage(kResultTargetWriteError, job.target)};
}

}  // namespace dkscr
