#pragma once
// "Directory": edits the add-directory dialog's list of directories as rows.

#include <QDialog>
#include <QStringList>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace dkscr {

class TFmDirectory : public QDialog {
  Q_OBJECT

 public:
  // Starts with the rows of dirList (the adddir setting at program start).
  explicit TFmDirectory(const QString& dirList, QWidget* parent = nullptr);

  // Loads the rows from a ";"-separated list and selects the first.
  void SetDirList(const QString& list);
  QStringList Rows() const;

  QLabel* Label1;
  QListWidget* LBOXDirs;
  QLineEdit* EditDir;
  QPushButton* BtnDir;
  QPushButton* BtnReplace;
  QPushButton* BtnAdd;
  QPushButton* BtnDelete;
  QPushButton* BtnOK;
  QPushButton* BtnCancel;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void LBOXDirsClick();
  void EditDirChange();
  void BtnAddClick();
  void BtnReplaceClick();
  void BtnDeleteClick();
  void BtnDirClick();
};

}  // namespace dkscr
