#pragma once
// Writing a converted text to its target file.
#include <cstddef>
#include <cstdint>
#include <string>

namespace dkscr {

enum class TargetWriteResult { kWritten, kCreateFailed, kWriteFailed };

// Creates the target's folder with its parents and writes the bytes through a file beside the
// target that takes its name when complete: a failed write changes nothing on the disk. An
// existing target is replaced only when `replaceExisting` is set, and never when it is the
// source itself or a device or FIFO (kCreateFailed).
TargetWriteResult WriteTargetFile(const std::u16string& target, const std::u16string& source,
                                  bool replaceExisting, const uint8_t* data, size_t length);

}  // namespace dkscr
