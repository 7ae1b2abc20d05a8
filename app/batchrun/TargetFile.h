#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace dkscr {

// True when something that is not a folder exists at the path.
bool FileExistsAt(const std::u16string& path);
// True when anything (file or folder) exists at the path.
bool PathExists(const std::u16string& path);

enum class TargetWriteResult { kWritten, kCreateFailed, kWriteFailed };

// Creates the target's folder with its parents, creates or truncates the file and writes the
// bytes. A partly written file stays on disk.
TargetWriteResult WriteTargetFile(const std::u16string& target, const uint8_t* data,
                                  size_t length);

}  // namespace dkscr
