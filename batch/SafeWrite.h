#pragma once
// Text files written so that no reader ever sees half of one: the bytes go to a new file
// beside the target, which is then renamed onto it.
#include <cstddef>
#include <string>
#include <string_view>

#include "core/AtomicWrite.h"  // WriteAllBytes

namespace dkscr {

enum class WriteOutcome { kWritten, kExists, kCreateFailed, kWriteFailed };

// Writes `bytes` to `target` through a temporary file and a rename, creating missing folders.
// Without `replace` an existing target (even one that appears meanwhile) is kept: kExists. A
// target that is the `source` file itself is never replaced (kCreateFailed). On failure no
// temporary file stays behind.
WriteOutcome WriteFileSafely(const std::string& target, std::string_view bytes, bool replace,
                             const std::string& source);

}  // namespace dkscr
