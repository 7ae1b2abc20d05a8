#pragma once
// What the main window asks of the desktop: choosing files, opening documents and folders,
// and the files a clipboard or a drop hands over. The program hands it the real desktop; a
// test hands it answers of its own.
#include <QStringList>
#include <QUrl>
#include <string>
#include <vector>

class QMimeData;
class QWidget;

namespace dkscr {

class DesktopServices {
 public:
  virtual ~DesktopServices() = default;
  // The file dialog: the files chosen with these name filters; empty when cancelled.
  virtual QStringList ChooseFiles(QWidget* parent, const QStringList& nameFilters) = 0;
  // Opens a document or a folder with its default program; false when none started.
  virtual bool OpenUrl(const QUrl& url) = 0;
  // Shows the item selected in the file manager; false when it cannot.
  virtual bool ShowItem(const QUrl& url) = 0;
  // The files on the clipboard, in order; empty when it holds none.
  virtual std::vector<std::u16string> ClipboardFiles() = 0;
  // The files a drag or drop carries; empty when it carries none.
  virtual std::vector<std::u16string> DroppedFiles(const QMimeData* payload) = 0;
};

}  // namespace dkscr
