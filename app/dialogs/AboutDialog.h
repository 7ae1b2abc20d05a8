#pragma once
// The about box: animated icon, product name and version, and a link to the program's help.

#include <QDialog>
#include <QLabel>

class QPushButton;

namespace dkscr {

class FrameAnimation;

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent = nullptr);

  FrameAnimation* animation;
  QLabel* productName;
  QLabel* productVersion;
  QLabel* helpLink;  // a real link, in the palette's link colour
  QPushButton* okButton;

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace dkscr
