#include "core/KelPptCvt.h"

#include <memory>
#include <string>

#include "core/DocFile.h"
#include "core/NativePath.h"
#include "core/PptImage.h"
#include "core/PptReader.h"
#include "core/RegularFile.h"

namespace dkscr {
namespace {

ResultCode ConvertStorage(std::unique_ptr<TDocFileStorage> storage, OutputBuffer& output, int32_t codePage) {
  if (!storage || !storage->LastError.empty()) return kResultSourceOpenError;
  std::u16string text;
  const ResultCode result = TPptReader().Extract(std::move(storage), text);
  if (result < 0) return result;
  return EncodeWideText(text, codePage, output);
}

ResultCode CheckResultToCode(int32_t check) {
  return check == kResultSourceMissing ? kResultSourceMissing : kResultFormatError;
}

}  // namespace

ResultCode ConvertPpt(const std::u16string& source, OutputBuffer& output, int32_t codePage) {
  try {
    // A FIFO or device is no presentation and is never opened (its open could block).
    if (KindOfPath(PathToNative(source)) == PathKind::kSpecial) return kResultSourceOpenError;
    const int32_t check = CheckDocFile(source);
    if (check != 0) return CheckResultToCode(check);
    return ConvertStorage(OpenDocFile(source, kStgmReadShareExclusive), output, codePage);
  } catch (...) {  // damage the reader cannot go past, or memory running out
    return kResultFormatError;
  }
}

ResultCode ConvertPptImage(std::string_view image, OutputBuffer& output, int32_t codePage) {
  try {
    const int32_t check = CheckDocImage(image);
    if (check != 0) return CheckResultToCode(check);
    return ConvertStorage(OpenDocImage(image, kStgmReadShareExclusive), output, codePage);
  } catch (...) {
    return kResultFormatError;
  }
}

}  // namespace dkscr
