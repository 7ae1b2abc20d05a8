#pragma once
// Asks what to do with a target file that already exists.
#include <QDialog>

#include "app/session/SessionRun.h"

class QLabel;
class QPushButton;

namespace dkscr {

class OverwritePromptDialog : public QDialog {
  Q_OBJECT

 public:
  explicit OverwritePromptDialog(QWidget* parent = nullptr);

  // Shows the prompt modally for `target` and returns the button pressed; Esc and the window
  // frame answer Cancel, Enter the default, Auto Rename.
  OverwriteAnswer Ask(const QString& target);

  QLabel* iconLabel = nullptr;
  QLabel* fileLabel = nullptr;
  QLabel* messageLabel = nullptr;
  QPushButton* autoRenameButton = nullptr;
  QPushButton* overwriteButton = nullptr;
  QPushButton* cancelButton = nullptr;
  QPushButton* stopButton = nullptr;

 public slots:
  void reject() override;
};

}  // namespace dkscr
