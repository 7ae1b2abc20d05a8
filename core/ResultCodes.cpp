#include "core/ResultCodes.h"

namespace dkscr {

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
