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
// The caller asked the conversion to stop (ConvertRequest::cancel); no front end's
// command line can ask it.
inline constexpr ResultCode kResultCancelled = -14;

// Inside a catch block: the code of the failure being handled, -13 when memory ran out and
// -5 for anything else (damage a reader cannot go past).
ResultCode CaughtFailureCode() noexcept;

// What a front end reports for a converter's result: a length as it is, the failures that
// keep their own message (-1, -4, -11, -14) as they are, every other failure as -5.
ResultCode ReportedConverterCode(ResultCode result);

}  // namespace dkscr
