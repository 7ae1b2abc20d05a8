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

std::string ShownName(std::string_view name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(name.size());
  auto escape = [&](unsigned char c) {
    out += "\\x";
    out += kHex[c >> 4];
    out += kHex[c & 0xF];
  };
  for (size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    const auto next = i + 1 < name.size() ? static_cast<unsigned char>(name[i + 1]) : 0;
    if (c < 0x20 || c == 0x7F) {
      escape(c);
    } else if (c == 0xC2 && next >= 0x80 && next <= 0x9F) {
      escape(c);
      escape(next);
      ++i;
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  return out;
}

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
  if (at != std::string::npos) text.replace(at, 2, ShownName(path));
  return text;
}

JobReport ReportOf(const TargetJob& job, const TargetResult& result) {
  switch (result.outcome) {
    case TargetOutcome::kWritten:
      return {result.code, "\"" + ShownName(job.source) + "\" --> \"" + ShownName(job.target) + "\" OK"};
    case TargetOutcome::kExists:
      return {kTargetKept, "Output file \"" + ShownName(job.target) + "\" already exists, convert canceled"};
    case TargetOutcome::kUpToDate:
      return {kTargetKept, "Output file \"" + ShownName(job.target) + "\" is up to date"};
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
