#pragma once
// The about box: animated icon, product name and version, and a link to the program's help.

#include <QDialog>
#include <QLabel>

class QPushButton;

namespace dkscr {

class FrameAnimation;

// An underlined link text: navy normally, blue under the mouse; a click (or Enter or Space
// when it has the focus) emits Clicked.
class LinkLabel : public QLabel {
  Q_OBJECT

 public:
  explicit LinkLabel(const QString& text, QWidget* parent = nullptr);
  void SetNormalColor(const QColor& color);

 signals:
  void Clicked();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Paint(const QColor& color);

  QColor normal_;
};

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent = nullptr);

  FrameAnimation* animation;
  QLabel* productName;
  QLabel* productVersion;
  LinkLabel* helpLink;
  QPushButton* okButton;

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace dkscr
