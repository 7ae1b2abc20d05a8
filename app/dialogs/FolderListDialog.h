#pragma once
// "Directory": edits the add-directory dialog's list of directories as rows.

#include <QDialog>
#include <QStringList>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace dkscr {

class DialogServices;

class FolderListDialog : public QDialog {
  Q_OBJECT

 public:
  // Starts with the rows of dirList (the adddir setting at program start).
  FolderListDialog(const QString& dirList, DialogServices& services, QWidget* parent = nullptr);

  // Loads the rows from a ";"-separated list and selects the first.
  void SetDirList(const QString& list);
  QStringList Rows() const;

  QLabel* folderLabel;
  QListWidget* folderList;
  QLineEdit* folderEdit;
  QPushButton* browseButton;
  QPushButton* replaceButton;
  QPushButton* addButton;
  QPushButton* deleteButton;
  QPushButton* okButton;
  QPushButton* cancelButton;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void TakeClickedRow();
  void UpdateButtons();
  void AddRow();
  void ReplaceRow();
  void DeleteRow();
  void BrowseFolder();

  DialogServices& services_;
};

}  // namespace dkscr
