#include "tools/Messages.h"

namespace dkscr {
namespace {

constexpr ResultCodeTexts kSuccess{0, "", "Convert successfully"};
constexpr ResultCodeTexts kRows[] = {
    {kResultLoadError, "Convert dll file load error", "Load file filter dll error"},
    {kResultSourceMissing, "Input file \"%s\" not exists", "Source file does not exist"},
    {kResultTypeNotSupported, "Input file \"%s\" type not support", "File type not support"},
    {kResultSourceOpenError, "Input file \"%s\" open error", "Source file open error"},
    {kResultFormatError, "Input file \"%s\" format not correct", "File format not correct"},
    {kResultTargetCreateError, "Output file \"%s\" create error", "Target file create error"},
    {kResultTargetWriteError, "Output file \"%s\" write error", "Target file write error"},
    {kResultEncrypted, "Input file \"%s\" is encrypted",
     "Extracting text from source file not allowed"},
    {kResultCancelled, "Converting \"%s\" canceled", "Convert canceled"},
};

// A kept target is no failure: the programs count it apart.
constexpr ResultCode kTargetKept = 1;

}  // namespace

const ResultCodeTexts& TextsForResult(ResultCode code) {
  if (code >= 0) return kSuccess;
  for (const auto& row : kRows) {
    if (row.code == code) return row;
  }
  for (const auto& row : kRows) {
    if (row.code == kResultFormatError) return row;
  }
  return kSuccess;  // not reached: the -5 row exists
}

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
    case TargetOutcome::kConvertFailed: {
      // The programs report memory running out as damage.
      const ResultCode code = result.code == kResultOutOfMemory ? kResultFormatError : result.code;
      return {code, ResultMessage(code, job.source)};
    }
    case TargetOutcome::kCreateFailed:
      return {kResultTargetCreateError, ResultMessage(kResultTargetCreateError, job.target)};
    case TargetOutcome::kWriteFailed:
      break;
  }
  return {kResultTargetWriteError, ResultMessage(kResultTargetWriteError, job.target)};
}

}  // namespace dkscr
