#pragma once
// What the dialogs ask of the desktop that a test must answer or observe without a user:
// message boxes, the folder browser and the save-file dialog. Every dialog that needs them
// takes them when it is made.
#include <QMessageBox>
#include <QString>

class QWidget;

namespace dkscr {

class DialogServices {
 public:
  virtual ~DialogServices() = default;
  // A modal message box with an OK button.
  virtual void ShowMessage(QWidget* parent, const QString& title, const QString& text,
                           QMessageBox::Icon icon) = 0;
  // The folder the user chose, starting at `start` (or inside `root` when it is empty);
  // empty when the user cancelled.
  virtual QString ChooseFolder(QWidget* parent, const QString& title, const QString& root,
                               const QString& start) = 0;
  // The file name the user chose to save to; empty when the user cancelled.
  virtual QString ChooseSaveFile(QWidget* parent, const QString& filter,
                                 const QString& defaultSuffix) = 0;
};

// The desktop's own message boxes and file dialogs.
class StandardDialogServices : public DialogServices {
 public:
  void ShowMessage(QWidget* parent, const QString& title, const QString& text,
                   QMessageBox::Icon icon) override;
  QString ChooseFolder(QWidget* parent, const QString& title, const QString& root,
                       const QString& start) override;
  QString ChooseSaveFile(QWidget* parent, const QString& filter,
                         const QString& defaultSuffix) override;
};

// A validation failure: title "Error" with the error icon.
void ShowErrorMessage(DialogServices& services, QWidget* parent, const QString& text);
// A failed file operation, told the way the program reports unexpected errors.
void ShowGeneralError(DialogServices& services, QWidget* parent, const QString& text);

// Lets the user pick a directory. folder is the starting folder on entry (emptied when it
// is not an existing directory) and the chosen directory on success, without a trailing
// separator except for the root. Returns false when the user cancels.
bool BrowseForFolder(DialogServices& services, QWidget* parent, const QString& title,
                     const QString& root, QString& folder);

// Moves a dialog to the middle of the window it belongs to (the main window), or of the
// screen when it has none on screen.
void CenterOnOwner(QWidget* dialog);

}  // namespace dkscr
