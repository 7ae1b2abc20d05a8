#include "batch/ConvertSource.h"

#include "convert/Convert.h"

namespace dkscr {

ConvertRequest SourceRequest(const std::string& path, SlideMode mode, int32_t codePage) {
  ConvertRequest request;
  request.mode = mode;
  request.codePage = codePage;
  request.choice = FormatChoice::kByContent;
  request.name = path;
  return request;
}

ResultCode ConvertSource(const std::string& path, SlideMode mode, int32_t codePage,
                         OutputBuffer& buffer, const SourceOpener& open) {
  const ResultCode result = ConvertFile(path, SourceRequest(path, mode, codePage), buffer, open);
  // The programs report memory running out as damage.
  return result == kResultOutOfMemory ? kResultFormatError : result;
}

}  // namespace dkscr
