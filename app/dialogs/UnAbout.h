#pragma once
// The about box: animated icon, product name and version, and a link to the program's help.

#include <QDialog>
#include <QLabel>

class QPushButton;

namespace dkscr {

class TFrameAnimation;

// An underlined link text: navy normally, blue under the mouse; a click (or Enter or Space
// when it has the focus) emits Clicked.
class TLinkLabel : public QLabel {
  Q_OBJECT

 public:
  explicit TLinkLabel(const QString& text, QWidget* parent = nullptr);
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

  QColor FNormal;
};

class TFmAbout : public QDialog {
  Q_OBJECT

 public:
  explicit TFmAbout(QWidget* parent = nullptr);

  TFrameAnimation* Animation1;
  QLabel* ProductName;
  QLabel* ProductVer;
  TLinkLabel* LinkLabel1;
  QPushButton* OKButton;

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace dkscr
