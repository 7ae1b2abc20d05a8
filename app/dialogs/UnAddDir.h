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
class TFmDirectory;

class TFmAddDir : public QDialog {
  Q_OBJECT

 public:
  // directoryDialog edits the directories as rows (Browse); it outlives this dialog's use.
  TFmAddDir(AppState& global, TFmDirectory& directoryDialog, QWidget* parent = nullptr);
  // Hands the file-type ticks and the recursion flag to the settings.
  ~TFmAddDir() override;

  // Whether file type n (1 or 2) is ticked.
  bool TypeTicked(int typeNumber) const;
  // Stores the ticks and the recursion flag in the settings (done again on destruction).
  void StoreChoices();

  QLabel* Label1;
  QLineEdit* EditDir;
  QPushButton* BtnDir;
  QLabel* Label2;
  QListWidget* CheckListBox1;
  QToolButton* SpeedButton1;
  QToolButton* SpeedButton2;
  QToolButton* SpeedButton3;
  QCheckBox* CBRecursive;
  QPushButton* BtnOK;
  QPushButton* BtnCancel;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void LabelRows();
  void SetTicks(int mode);  // 0 all, 1 invert, 2 none
  void BtnDirClick();
  void BtnOKClick();

  AppState& FGlobal;
  TFmDirectory& FDirectory;
};

}  // namespace dkscr
