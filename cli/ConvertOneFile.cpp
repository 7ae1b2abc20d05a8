#include "cli/ConvertOneFile.h"

#include "core/AtomicWrite.h"
#include "core/NativePath.h"
#include "core/PresentationKind.h"
#include "core/RegularFile.h"

namespace dkscr {
namespace {

// Only something that is not a directory counts as a file.
bool FileExists(PathKind kind) { return kind != PathKind::kMissing && kind != PathKind::kDirectory; }

std::string WithPath(std::string_view pattern, std::string_view path) {
  std::string text(pattern);
  const size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, path);
  return text;
}

int Fail(ConsoleOutput& console, ResultCode code, std::string_view path) {
  console.WriteMessage(WithPath(TextsForResult(code).console, path));
  return code;
}

int DestinationExists(ConsoleOutput& console, std::string_view destination) {
  console.WriteMessage(WithPath("Output file \"%s\" already exists, convert canceled", destination));
  return kExitDestinationExists;
}

// Writes the text beside the destination and gives it the destination's name when complete:
// an old file survives a failed write, and without -o a file that appeared during the
// conversion is not replaced. Devices and pipes named as the destination are written into.
int WriteDestination(const ConvertRequest& request, const uint8_t* data, size_t size,
                     ConsoleOutput& console) {
  AtomicWriteOptions options;
  options.replaceExisting = request.overwrite;
  options.writeSpecialInPlace = true;
  // Replacing the presentation by its own text would destroy it: refused like a create error.
  options.protectedPath = std::string(request.source);
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  switch (WriteFileAtomically(std::string(request.destination), text, options)) {
    case AtomicWriteResult::kExists:
      return DestinationExists(console, request.destination);
    case AtomicWriteResult::kCreateFailed:
      return Fail(console, kResultTargetCreateError, request.destination);
    case AtomicWriteResult::kWriteFailed:
      return Fail(console, kResultTargetWriteError, request.destination);
    case AtomicWriteResult::kWritten:
      break;
  }
  std::string message = "\"";
  message += request.source;
  message += "\" --> \"";
  message += request.destination;
  message += "\" OK";
  console.WriteMessage(message);
  return 0;
}

}  // namespace

std::string TypeOfPath(std::string_view path) {
  switch (KindOfExtension(ExtensionOfPath(path))) {
    case PresentationKind::kPpt:
      return "PPT";
    case PresentationKind::kPptx:
      return "PPTX";
    case PresentationKind::kUnknown:
      break;
  }
  return {};
}

int ConvertOneFile(const ConvertRequest& request, const ConverterTable& converters,
                   OutputBuffer& buffer, ConsoleOutput& console) {
  const PathKind sourceKind = KindOfPath(std::string(request.source));
  if (!FileExists(sourceKind)) {
    return Fail(console, kResultSourceMissing, request.source);
  }
  const bool toStandardOutput = request.destination == kStandardOutputName;
  if (!toStandardOutput && FileExists(KindOfPath(std::string(request.destination))) && !request.overwrite) {
    return DestinationExists(console, request.destination);
  }

  const std::string type =
      request.forcedType.empty() ? TypeOfPath(request.source) : std::string(request.forcedType);
  const int32_t codePage = request.codePage == 0 ? DefaultCodePage() : request.codePage;
  if (type != "PPT" && type != "PPTX") {
    return Fail(console, kResultTypeNotSupported, request.source);
  }
  // A FIFO or device would block or be consumed by reading: it cannot be opened as a source.
  if (sourceKind != PathKind::kRegular) return Fail(console, kResultSourceOpenError, request.source);
  ResultCode result = kResultLoadError;
  if (request.mode == SlideMode::kText) {
    const Converter converter = type == "PPT" ? converters.ppt : converters.pptx;
    if (converter == nullptr) return Fail(console, kResultLoadError, request.source);
    result = converter(PathFromNative(request.source), buffer, codePage);
  } else {
    const SlideConverter converter = type == "PPT" ? converters.pptSlides : converters.pptxSlides;
    if (converter == nullptr) return Fail(console, kResultLoadError, request.source);
    result = converter(PathFromNative(request.source), request.mode, codePage, buffer);
  }
  if (result < 0) return Fail(console, ReportedConverterCode(result), request.source);
  const auto length = static_cast<size_t>(result);
  if (length > 0 && (!buffer.HasBlock() || buffer.BlockSize() < length)) {
    return Fail(console, kResultFormatError, request.source);  // a converter broke its contract
  }

  if (toStandardOutput) {
    console.WriteOutputBytes(buffer.Data(), length);
    if (!console.Flush()) return Fail(console, kResultTargetWriteError, request.destination);
    return 0;
  }
  return WriteDestination(request, buffer.Data(), length, console);
}

}  // namespace dkscr
