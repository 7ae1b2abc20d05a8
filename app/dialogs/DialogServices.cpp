#include "app/dialogs/DialogServices.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QUrl>
#include <utility>

namespace dkscr {

namespace {

MessageBoxHook& MessageHook() {
  static MessageBoxHook hook;
  return hook;
}
FolderDialogHook& FolderHook() {
  static FolderDialogHook hook;
  return hook;
}
SaveDialogHook& SaveHook() {
  static SaveDialogHook hook;
  return hook;
}
OpenUrlHook& UrlHook() {
  static OpenUrlHook hook;
  return hook;
}

// While a platform dialog of ours is open, the program's other windows take no input.
class OtherWindowsDisabled {
 public:
  explicit OtherWindowsDisabled(QWidget* except) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w != except && w->isVisible() && w->isEnabled()) {
        w->setEnabled(false);
        disabled_.push_back(w);
      }
    }
  }
  ~OtherWindowsDisabled() {
    for (QWidget* w : disabled_) w->setEnabled(true);
  }
  OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
  OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;

 private:
  QList<QWidget*> disabled_;
};

}  // namespace

void SetMessageBoxHook(MessageBoxHook hook) { MessageHook() = std::move(hook); }
void SetFolderDialogHook(FolderDialogHook hook) { FolderHook() = std::move(hook); }
void SetSaveDialogHook(SaveDialogHook hook) { SaveHook() = std::move(hook); }
void SetOpenUrlHook(OpenUrlHook hook) { UrlHook() = std::move(hook); }

void ShowMessage(QWidget* parent, const QString& title, const QString& text,
                 QMessageBox::Icon icon) {
  if (MessageHook()) {
    MessageHook()(parent, title, text, icon);
    return;
  }
  QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
  box.exec();
}

void ShowErrorMessage(QWidget* parent, const QString& text) {
  ShowMessage(parent, QCoreApplication::translate("DialogServices", "Error"), text,
              QMessageBox::Critical);
}

void ShowGeneralError(QWidget* parent, const QString& text) {
  ShowMessage(parent, QStringLiteral("Kel-Deckscribe"), text, QMessageBox::Critical);
}

bool BrowseForFolder(QWidget* parent, const QString& title, const QString& root,
                     QString& folder) {
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder.clear();
  QString chosen;
  if (FolderHook()) {
    chosen = FolderHook()(parent, title, root, folder);
  } else {
    OtherWindowsDisabled guard(parent ? parent->window() : nullptr);
    // The browser opens at the starting folder, or inside root when there is none.
    const QString start = folder.isEmpty() ? root : folder;
    chosen = QFileDialog::getExistingDirectory(parent, title, start,
                                               QFileDialog::ShowDirsOnly);
  }
  if (chosen.isEmpty()) return false;
  chosen = QDir::cleanPath(chosen);  // no trailing separator except for the root
  folder = chosen;
  return true;
}

QString RunSaveDialog(QWidget* parent, const QString& filter, const QString& defaultSuffix) {
  if (SaveHook()) return SaveHook()(parent, filter, defaultSuffix);
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(filter);
  dialog.setDefaultSuffix(defaultSuffix);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

void OpenWebPage(const QString& url) {
  if (UrlHook()) {
    UrlHook()(url);
    return;
  }
  QDesktopServices::openUrl(QUrl(url));
}

void CenterOnScreen(QWidget* window) {
  const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  QRect frame = window->frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  window->move(frame.topLeft());
}

}  // namespace dkscr
