#pragma once
// What the file list asks of the file system about a path it is given.
#include <cstdint>
#include <string>
#include <string_view>

namespace dkscr {

// Size in bytes of the file at path; 0 when it cannot be found or is a folder.
int64_t FileSizeOf(std::u16string_view path);

// True for a folder, and also when the path cannot be examined at all (a dropped item we
// cannot look at is better offered to the folder scan than added as a file).
bool IsDirectory(std::u16string_view path);

// True when a file (not a folder) exists at path.
bool FileExists(std::u16string_view path);

// True when anything, file or folder, exists at path.
bool PathExists(std::u16string_view path);

}  // namespace dkscr
