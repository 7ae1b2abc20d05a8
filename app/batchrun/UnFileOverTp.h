#pragma once
// Asks what to do with a target file that already exists.
#include <QDialog>

class QLabel;
class QPushButton;

namespace dkscr {

class TFmFileOverTp : public QDialog {
  Q_OBJECT

 public:
  explicit TFmFileOverTp(QWidget* parent = nullptr);

  // Shows the prompt modally for `target`; returns 6 Auto Rename, 7 Overwrite, 2 Cancel
  // (also Esc and the window frame) or 3 Stop Convert.
  int Ask(const QString& target);

  QLabel* Image1 = nullptr;
  QLabel* LblFileName = nullptr;
  QLabel* Label2 = nullptr;
  QPushButton* BtnAutoRename = nullptr;
  QPushButton* BtnOverwrite = nullptr;
  QPushButton* BtnCancel = nullptr;
  QPushButton* SpeedButton1 = nullptr;

 public slots:
  void reject() override;
};

}  // namespace dkscr
