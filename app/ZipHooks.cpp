#include "app/ZipHooks.h"

#include <QApplication>
#include <QMessageBox>

#include "openxml/ZipHostHooks.h"

namespace dkscr {

void ConnectZipHooks() {
  ZipHostHooks hooks;
  hooks.ShowBusyCursor = [] { QApplication::setOverrideCursor(Qt::WaitCursor); };
  hooks.RestoreCursor = [] { QApplication::restoreOverrideCursor(); };
  hooks.ProcessMessages = [] { QCoreApplication::processEvents(); };
  hooks.ShowMessage = [](const std::string& text, const std::string& caption) {
    QMessageBox::warning(QApplication::activeWindow(), QString::fromStdString(caption),
                         QString::fromStdString(text));
  };
  SetZipHostHooks(std::move(hooks));
}

}  // namespace dkscr
