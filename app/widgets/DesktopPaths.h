#pragma once
// Paths as the desktop's file dialog and URL handlers take and give them.
#include <QString>
#include <QUrl>
#include <string>
#include <string_view>

namespace dkscr {

// A path as Qt's file dialog gives it, back in our form (platform/NativePath.h). The dialog
// shows file-name bytes that are not UTF-8 as U+FFFD; each such part of the path is looked
// up in its folder, taking the first entry whose name Qt shows the same way.
std::u16string PathFromDialogName(const QString& name);

// A file: URL of the path's very bytes, so that a name that is not UTF-8 names that file.
QUrl UrlOfPath(std::u16string_view path);

}  // namespace dkscr
