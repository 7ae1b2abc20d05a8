#pragma once
// File lists handed over by the desktop: the clipboard's copied files and dropped items.
// Both arrive as file URLs; names keep every byte (see platform/NativePath.h).
#include <string>
#include <string_view>
#include <vector>

class QMimeData;

namespace dkscr {

inline constexpr const char* kMimeUriList = "text/uri-list";
inline constexpr const char* kMimeGnomeCopiedFiles = "x-special/gnome-copied-files";

// The local path of a file URL ("file:///a/b", "file://localhost/a/b", "file:/a/b"), with
// %XX escapes decoded to bytes; false for other URLs and for remote hosts.
bool FileUriToPath(std::string_view uri, std::u16string& path);

// A text/uri-list body: one URL per line, "#" lines are comments; non-file URLs are skipped.
// A line that is already an absolute path is taken as it is.
std::vector<std::u16string> ParseUriList(std::string_view data);

// The desktop's copied-files body: "copy" or "cut" on the first line, then one URL per line.
std::vector<std::u16string> ParseCopiedFiles(std::string_view data);

// The files a clipboard or drop payload carries, in order; empty when it carries none.
std::vector<std::u16string> FilesFromMime(const QMimeData* mime);

// A payload carrying these files in both formats (what a file manager puts on the clipboard).
QMimeData* MimeForFiles(const std::vector<std::u16string>& paths);

}  // namespace dkscr
