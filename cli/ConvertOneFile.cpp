#include "cli/ConvertOneFile.h"

#include "convert/PresentationKind.h"
#include "platform/NativePath.h"
#include "platform/RegularFile.h"
#include "text/Encode.h"
#include "tools/Messages.h"

namespace dkscr {
namespace {

// Only something that is not a directory counts as a file.
bool FileExists(PathKind kind) { return kind != PathKind::kMissing && kind != PathKind::kDirectory; }

int Fail(ConsoleOutput& console, ResultCode code, std::string_view path) {
  console.WriteMessage(ResultMessage(code, path));
  return code;
}

// Whether two paths name one file (links and other spellings included).
bool SameFile(std::string_view a, std::string_view b) {
  const FileStatus first = StatusOfPath(std::string(a));
  const FileStatus second = StatusOfPath(std::string(b));
  return first.kind != PathKind::kMissing && second.kind != PathKind::kMissing && first.device == second.device &&
         first.inode == second.inode;
}

// The source named as its destination cannot be created, with -o or without.
int DestinationIsTheSource(ConsoleOutput& console, std::string_view destination) {
  TargetJob job;
  job.target = std::string(destination);
  const JobReport report = ReportOf(job, {TargetOutcome::kCreateFailed, 0});
  console.WriteMessage(report.message);
  return report.code;
}

int DestinationExists(ConsoleOutput& console, std::string_view destination) {
  TargetJob job;
  job.target = std::string(destination);
  console.WriteMessage(ReportOf(job, {TargetOutcome::kExists, 0}).message);
  return kExitDestinationExists;
}

// Writes the text beside the destination and gives it the destination's name when complete:
// an old file survives a failed write, and without -o a file that appeared during the
// conversion is not replaced. Devices and pipes named as the destination are written into.
int ConvertToDestination(const CommandJob& job, const ConvertRequest& request, const FileConverter& convert,
                         OutputBuffer& buffer, ConsoleOutput& console) {
  TargetJob target;
  target.source = std::string(job.source);
  target.target = std::string(job.destination);
  target.request = request;
  target.overwrite = job.overwrite ? OverwritePolicy::kReplace : OverwritePolicy::kKeep;
  target.writeSpecialInPlace = true;
  const TargetResult result = ConvertToTarget(target, buffer, convert);
  // Every failure of a converter but those with a message of their own is a format error.
  if (result.outcome == TargetOutcome::kConvertFailed) {
    return Fail(console, ReportedConverterCode(result.code), job.source);
  }
  const JobReport report = ReportOf(target, result);
  console.WriteMessage(report.message);
  return result.outcome == TargetOutcome::kWritten ? 0 : report.code;
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

int ConvertOneFile(const CommandJob& job, const FileConverter& convert, OutputBuffer& buffer,
                   ConsoleOutput& console) {
  const PathKind sourceKind = KindOfPath(std::string(job.source));
  if (!FileExists(sourceKind)) {
    return Fail(console, kResultSourceMissing, job.source);
  }
  const bool toStandardOutput = job.destination == kStandardOutputName;
  if (!toStandardOutput && SameFile(job.source, job.destination)) {
    return DestinationIsTheSource(console, job.destination);
  }
  if (!toStandardOutput && FileExists(KindOfPath(std::string(job.destination))) && !job.overwrite) {
    return DestinationExists(console, job.destination);
  }

  const std::string type = job.forcedType.empty() ? TypeOfPath(job.source) : std::string(job.forcedType);
  if (type != "PPT" && type != "PPTX") {
    return Fail(console, kResultTypeNotSupported, job.source);
  }
  // A FIFO or device would block or be consumed by reading: it cannot be opened as a source.
  if (sourceKind != PathKind::kRegular) return Fail(console, kResultSourceOpenError, job.source);
  // The type named or the extension decides, as it always has: dkscrcmd's results rest on it.
  ConvertRequest request;
  request.mode = job.mode;
  request.codePage = job.codePage == 0 ? DefaultCodePage() : job.codePage;
  request.format = type == "PPT" ? PresentationKind::kPpt : PresentationKind::kPptx;
  request.choice = FormatChoice::kByExtension;
  request.name = job.source;
  if (!toStandardOutput) return ConvertToDestination(job, request, convert, buffer, console);

  const std::string source(job.source);
  const ResultCode result = convert ? convert(source, request, buffer) : ConvertFile(source, request, buffer);
  if (result < 0) return Fail(console, ReportedConverterCode(result), job.source);
  const auto length = static_cast<size_t>(result);
  if (length > 0 && (!buffer.HasBlock() || buffer.BlockSize() < length)) {
    return Fail(console, kResultFormatError, job.source);  // a converter broke its contract
  }
  console.WriteOutputBytes(buffer.Data(), length);
  if (!console.Flush()) return Fail(console, kResultTargetWriteError, job.destination);
  return 0;
}

}  // namespace dkscr
