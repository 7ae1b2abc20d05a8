#pragma once
// Services the dialogs use that a test must be able to observe or answer without a user:
// message boxes, the folder browser, the save-file dialog and opening a web page. Each goes
// through a replaceable hook; an empty hook means the real Qt service.

#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

namespace dkscr {

using MessageBoxHook =
    std::function<void(QWidget* parent, const QString& title, const QString& text,
                       QMessageBox::Icon icon)>;
// Returns the chosen folder, or an empty string when the user cancelled.
using FolderDialogHook = std::function<QString(QWidget* parent, const QString& title,
                                               const QString& root, const QString& start)>;
// Returns the chosen file name, or an empty string when the user cancelled.
using SaveDialogHook = std::function<QString(QWidget* parent, const QString& filter,
                                             const QString& defaultSuffix)>;
using OpenUrlHook = std::function<void(const QString& url)>;

void SetMessageBoxHook(MessageBoxHook hook);
void SetFolderDialogHook(FolderDialogHook hook);
void SetSaveDialogHook(SaveDialogHook hook);
void SetOpenUrlHook(OpenUrlHook hook);

// A modal message box with an OK button.
void ShowMessage(QWidget* parent, const QString& title, const QString& text,
                 QMessageBox::Icon icon);
// A validation failure: title "Error" with the error icon.
void ShowErrorMessage(QWidget* parent, const QString& text);
// A failed file operation, told to the user the way the program reports unexpected errors.
void ShowGeneralError(QWidget* parent, const QString& text);

// Lets the user pick a directory. folder is the starting folder on entry (emptied when it
// is not an existing directory) and the chosen directory on success, without a trailing
// separator except for the root. Returns false when the user cancels.
bool BrowseForFolder(QWidget* parent, const QString& title, const QString& root,
                     QString& folder);

// Runs the save-file dialog; empty when the user cancelled.
QString RunSaveDialog(QWidget* parent, const QString& filter, const QString& defaultSuffix);

void OpenWebPage(const QString& url);

// Moves a window to the middle of the screen (for dialogs not centred on their owner).
void CenterOnScreen(QWidget* window);

}  // namespace dkscr
