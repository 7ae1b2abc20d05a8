#include "tools/ConvertToTarget.h"

#include <string_view>

#include "platform/RegularFile.h"
#include "tools/AtomicWrite.h"

namespace dkscr {
namespace {

bool Newer(const FileStatus& a, const FileStatus& b) {
  return a.mtimeSec != b.mtimeSec ? a.mtimeSec > b.mtimeSec : a.mtimeNsec > b.mtimeNsec;
}

}  // namespace

TargetResult ConvertToTarget(const TargetJob& job, OutputBuffer& buffer, const FileConverter& convert) {
  // A folder is no file: writing over it fails when the name is taken. Nor is a FIFO or device
  // that is not to be written into: a text file cannot go there, which is no file kept.
  const FileStatus target = StatusOfPath(job.target);
  if (target.kind != PathKind::kMissing && target.kind != PathKind::kDirectory && target.kind != PathKind::kRegular &&
      !job.writeSpecialInPlace) {
    return {TargetOutcome::kCreateFailed, 0};
  }
  if (target.kind != PathKind::kMissing && target.kind != PathKind::kDirectory) {
    if (job.overwrite == OverwritePolicy::kKeep) return {TargetOutcome::kExists, 0};
    if (job.overwrite == OverwritePolicy::kReplaceOlder) {
      const FileStatus source = StatusOfPath(job.source);
      if (source.kind != PathKind::kMissing && !Newer(source, target)) return {TargetOutcome::kUpToDate, 0};
    }
  }
  ConvertRequest request = job.request;
  if (request.name.empty()) request.name = job.source;
  const ResultCode code = convert ? convert(job.source, request, buffer) : ConvertFile(job.source, request, buffer);
  if (code < 0) return {TargetOutcome::kConvertFailed, code};
  const auto length = static_cast<size_t>(code);
  if (length > 0 && (!buffer.HasBlock() || buffer.BlockSize() < length)) {
    return {TargetOutcome::kConvertFailed, kResultFormatError};  // a converter broke its contract
  }
  AtomicWriteOptions options;
  options.replaceExisting = job.overwrite != OverwritePolicy::kKeep;
  options.writeSpecialInPlace = job.writeSpecialInPlace;
  options.makeFolders = job.makeFolders;
  options.confineTo = job.confineTo;
  // Replacing the presentation by its own text would destroy it: refused like a create error.
  options.protectedPath = job.source;
  const std::string_view text(reinterpret_cast<const char*>(buffer.Data()), length);
  switch (WriteFileAtomically(job.target, text, options)) {
    case AtomicWriteResult::kWritten: return {TargetOutcome::kWritten, code};
    case AtomicWriteResult::kExists: return {TargetOutcome::kExists, code};
    case AtomicWriteResult::kCreateFailed: return {TargetOutcome::kCreateFailed, code};
    case AtomicWriteResult::kWriteFailed: break;
  }
  return {TargetOutcome::kWriteFailed, code};
}

}  // namespace dkscr
