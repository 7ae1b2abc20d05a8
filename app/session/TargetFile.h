#pragma once
// Why a target file could not be created, for the run to say: the shared convert-to-target
// job tells that it failed, not the system's reason.
#include <string>

namespace dkscr {

struct TargetCreateFailure {
  // The system's reason (an errno); 0 when there is none to give (the target is the source
  // itself, a device or FIFO).
  int error = 0;
  // The folder itself takes no file (it cannot be made, is read-only, a file stands in its
  // way): every other target in it fails the same way.
  bool folderUnwritable = false;
};

// Looks at the target and its folder after a failed creation: the folder's own trouble names
// the reason best; an existing target was refused for what it is (a folder, a file its owner
// made read-only).
TargetCreateFailure WhyTargetCannotBeCreated(const std::u16string& target);

}  // namespace dkscr
