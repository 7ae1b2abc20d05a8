#pragma once
// One source converted into one target file: the job that dkscrcmd, dkscrbatch and the
// desktop run share. The text is written beside the target and takes its name when complete,
// so a failed write leaves the old target as it was; the overwrite policy is checked before
// converting and again, atomically, when the name is taken.
#include <functional>
#include <string>

#include "convert/Convert.h"
#include "platform/OutputBuffer.h"

namespace dkscr {

enum class OverwritePolicy {
  kKeep,         // an existing target is kept (also one that appears during the conversion)
  kReplace,      // an existing target is replaced
  kReplaceOlder, // replaced when the source's last change is newer than the target's
};

struct TargetJob {
  std::string source;  // native paths
  std::string target;
  ConvertRequest request;  // its name is the source's when empty
  OverwritePolicy overwrite = OverwritePolicy::kKeep;
  bool makeFolders = false;          // missing folders of the target are made
  bool writeSpecialInPlace = false;  // a device or FIFO named as the target is written into
  // A folder the target lies below, where no symbolic link is followed (an output folder
  // others can write into); empty for none.
  std::string confineTo;
};

enum class TargetOutcome {
  kWritten,
  kExists,         // the target exists and the policy keeps it
  kUpToDate,       // kReplaceOlder: the target is not older than the source
  kConvertFailed,  // `code` says why
  kCreateFailed,   // the target (or its folder) cannot be created, or is the source itself
  kWriteFailed,
};

struct TargetResult {
  TargetOutcome outcome = TargetOutcome::kConvertFailed;
  ResultCode code = 0;  // the conversion's result: the text's length, or its failure
};

// The conversion a job runs; tests put fakes in its place.
using FileConverter = std::function<ResultCode(const std::string& nativePath, const ConvertRequest& request,
                                               OutputBuffer& output)>;

// Runs the job; the text stays in `buffer`.
TargetResult ConvertToTarget(const TargetJob& job, OutputBuffer& buffer, const FileConverter& convert = {});

}  // namespace dkscr
