#include "platform/ResultCodes.h"

#include <new>

namespace dkscr {

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
    case kResultCancelled:
      return result;
    default:
      return result >= 0 ? result : kResultFormatError;
  }
}

}  // namespace dkscr
