#pragma once
#include <cstdint>

namespace dkscr {

// Zero or more: the byte length of a converter's encoded text. Negative: one of the codes below.
using ResultCode = int32_t;

inline constexpr ResultCode kResultLoadError = -1;        // no converter of ours produces it
inline constexpr ResultCode kResultSourceMissing = -2;
inline constexpr ResultCode kResultTypeNotSupported = -3;
inline constexpr ResultCode kResultSourceOpenError = -4;
inline constexpr ResultCode kResultFormatError = -5;      // also any unexpected failure
inline constexpr ResultCode kResultTargetCreateError = -6;
inline constexpr ResultCode kResultTargetWriteError = -7;
inline constexpr ResultCode kResultEncrypted = -11;
// Memory ran out. Only the library reports it as such; the programs report it as -5.
inline constexpr ResultCode kResultOutOfMemory = -13;

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

// Inside a catch block: the code of the failure being handled, -13 when memory ran out and
// -5 for anything else (damage a reader cannot go past).
ResultCode CaughtFailureCode() noexcept;

// What a front end reports for a converter's result: a length as it is, the failures that
// keep their own message (-1, -4, -11) as they are, every other failure as -5.
ResultCode ReportedConverterCode(ResultCode result);

}  // namespace dkscr
