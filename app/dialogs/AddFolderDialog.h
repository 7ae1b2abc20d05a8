#pragma once
// "Add directory": the directories to scan, the file types to look for and whether to
// descend into sub-directories.

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;

namespace dkscr {

class AppState;
class DialogServices;
class FolderListDialog;

class AddFolderDialog : public QDialog {
  Q_OBJECT

 public:
  // directoryDialog edits the directories as rows (Browse); it outlives this dialog's use.
  AddFolderDialog(AppState& state, FolderListDialog& folderList, DialogServices& services,
                  QWidget* parent = nullptr);
  // Hands the file-type ticks and the recursion flag to the settings.
  ~AddFolderDialog() override;

  // Whether file type n (1 or 2) is ticked.
  bool TypeTicked(int typeNumber) const;
  // Stores the ticks and the recursion flag in the settings (done again on destruction).
  void StoreChoices();

  QLabel* folderLabel;
  QLineEdit* folderEdit;
  QPushButton* browseButton;
  QLabel* typeLabel;
  QListWidget* typeList;
  QToolButton* selectAllButton;
  QToolButton* invertButton;
  QToolButton* selectNoneButton;
  QCheckBox* recursiveBox;
  QPushButton* okButton;
  QPushButton* cancelButton;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void LabelRows();
  void SetTicks(int mode);  // 0 all, 1 invert, 2 none
  void EditFolderList();
  void StoreAndClose();

  AppState& state_;
  FolderListDialog& folderList_;
  DialogServices& services_;
};

}  // namespace dkscr
