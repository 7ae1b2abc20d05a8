#include "app/dialogs/DialogServices.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

namespace dkscr {

namespace {

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

void StandardDialogServices::ShowMessage(QWidget* parent, const QString& title,
                                         const QString& text, QMessageBox::Icon icon) {
  QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
  box.exec();
}

QString StandardDialogServices::ChooseFolder(QWidget* parent, const QString& title,
                                             const QString& root, const QString& start) {
  OtherWindowsDisabled guard(parent ? parent->window() : nullptr);
  return QFileDialog::getExistingDirectory(parent, title, start.isEmpty() ? root : start,
                                           QFileDialog::ShowDirsOnly);
}

QString StandardDialogServices::ChooseSaveFile(QWidget* parent, const QString& filter,
                                               const QString& defaultSuffix) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(filter);
  dialog.setDefaultSuffix(defaultSuffix);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

void ShowErrorMessage(DialogServices& services, QWidget* parent, const QString& text) {
  services.ShowMessage(parent, QCoreApplication::translate("DialogServices", "Error"), text,
                       QMessageBox::Critical);
}

void ShowGeneralError(DialogServices& services, QWidget* parent, const QString& text) {
  services.ShowMessage(parent, QCoreApplication::translate("DialogServices", "Kel-Deckscribe"), text,
                       QMessageBox::Critical);
}

bool BrowseForFolder(DialogServices& services, QWidget* parent, const QString& title,
                     const QString& root, QString& folder) {
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder.clear();
  QString chosen = services.ChooseFolder(parent, title, root, folder);
  if (chosen.isEmpty()) return false;
  folder = QDir::cleanPath(chosen);  // no trailing separator except for the root
  return true;
}

void CenterOnOwner(QWidget* dialog) {
  QRect frame = dialog->frameGeometry();
  const QWidget* owner = dialog->parentWidget() ? dialog->parentWidget()->window() : nullptr;
  if (owner != nullptr && owner->isVisible()) {
    frame.moveCenter(owner->frameGeometry().center());
  } else if (const QScreen* screen =
                 dialog->screen() ? dialog->screen() : QGuiApplication::primaryScreen()) {
    frame.moveCenter(screen->availableGeometry().center());
  } else {
    return;
  }
  dialog->move(frame.topLeft());
}

}  // namespace dkscr
