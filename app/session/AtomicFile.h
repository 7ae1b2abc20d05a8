#pragma once
// Replacing a file so that readers see either the old or the new content, never a mix: the
// bytes go to a new file beside the target, which is then renamed over it.
#include <string>
#include <string_view>

namespace dkscr {

// Writes `bytes` to `path` (a native path) through a temporary file in the same folder.
// Returns 0 on success, otherwise the errno of the failing step; the old file, if any, is
// then untouched and the temporary file removed.
int ReplaceFileAtomically(const std::string& path, std::string_view bytes);

// Reads a whole file. Returns 0 on success, otherwise the errno (ENOENT for a missing file).
int ReadWholeFile(const std::string& path, std::string& bytes);

}  // namespace dkscr
