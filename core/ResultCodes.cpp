#include "core/ResultCodes.h"

#include <new>

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
};

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

ResultCode CaughtFailureCode() noexcept {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return kResultOutOfMemory;
  } catch (...) {
    return kResultFormatError;
  }
}

ResultCode ReportedConverterCode(ResultCode result) {
  switch (result) {
    case kResultLoadError:
    case kResultSourceOpenError:
    case kResultEncrypted:
      return result;
    default:
      return result >= 0 ? result : kResultFormatError;
  }
}

}  // namespace dkscr
