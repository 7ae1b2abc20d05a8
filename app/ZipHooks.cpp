#include "app/ZipHooks.h"

#include <QApplication>
#include <QMessageBox>


namespace dkscr {

ZipHostHooks DesktopZipHooks() {
  ZipHostHooks hooks;
  hooks.ShowBusyCursor = [] { QApplication::setOverrideCursor(Qt::WaitCursor); };
  hooks.RestoreCursor = [] { QApplication::restoreOverrideCursor(); };
  hooks.ProcessMessages = [] { QCoreApplication::processEvents(); };
  hooks.ShowMessage = [](const std::string& text, const std::string& caption) {
    QMessageBox::warning(QApplication::activeWindow(), QString::fromStdString(caption),
                         QString::fromStdString(text));
  };
  return hooks;
}

}  // namespace dkscr
