#include "core/KelPptCvt.h"

#include <cerrno>
#include <memory>
#include <string>

#include "core/DocFile.h"
#include "core/NativePath.h"
#include "core/PptImage.h"
#include "core/PptReader.h"
#include "core/TextEncoder.h"

namespace dkscr {

ResultCode ConvertPptSource(std::unique_ptr<ByteSource> source, OutputBuffer& output, int32_t codePage) {
  try {
    std::string error;  // the parser's reason; the result code is all callers see of it
    std::unique_ptr<TDocFileStorage> storage = OpenDocSource(std::move(source), error);
    if (!storage) return kResultFormatError;
    if (!storage->LastError.empty()) return kResultSourceOpenError;
    // The text goes into its encoding as it is found, never held whole as UTF-16.
    TextEncoder text(TextEncoder::Input::kWide, kLineBreakCrLf, codePage);
    const ResultCode result = TPptReader().Extract(std::move(storage), text);
    if (result < 0) return result;
    return text.Finish(output);
  } catch (...) {  // damage the reader cannot go past, or memory running out
    return CaughtFailureCode();
  }
}

ResultCode ConvertPpt(const std::u16string& source, OutputBuffer& output, int32_t codePage) {
  int openError = 0;
  std::unique_ptr<ByteSource> file = ByteSource::OpenFile(PathToNative(source), openError);
  if (!file) {
    // A FIFO or device is no presentation and was never opened (its open could block).
    if (openError == EINVAL) return kResultSourceOpenError;
    return FileOpenErrorToCheck(openError) == kResultSourceMissing ? kResultSourceMissing
                                                                   : kResultFormatError;
  }
  return ConvertPptSource(std::move(file), output, codePage);
}

ResultCode ConvertPptImage(std::string_view image, OutputBuffer& output, int32_t codePage) {
  return ConvertPptSource(ByteSource::OfMemory(image), output, codePage);
}

}  // namespace dkscr
