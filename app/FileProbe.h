#pragma once
// What the file list asks of the file system about a path it is given.
#include <QString>
#include <QUrl>
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

// A path as Qt's file dialog gives it, back in our form (core/NativePath.h). The dialog
// shows file-name bytes that are not UTF-8 as U+FFFD; each such part of the path is looked
// up in its folder, taking the first entry whose name Qt shows the same way.
std::u16string PathFromDialogName(const QString& name);

// A file: URL of the path's very bytes, so that a name that is not UTF-8 names that file.
QUrl UrlOfPath(std::u16string_view path);

}  // namespace dkscr
