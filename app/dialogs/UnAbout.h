#pragma once
// The about box: animated icon, product name and version, and a link to the maker's page.

#include <QDialog>
#include <QLabel>

class QPushButton;

namespace dkscr {

class TFrameAnimation;

// The address behind the about box's link.
inline constexpr const char* kMakerWebPage = "https://deckscribe.example.org/";

// An underlined link text: navy normally, blue under the mouse; a click opens the address.
class TLinkLabel : public QLabel {
  Q_OBJECT

 public:
  TLinkLabel(const QString& text, const QString& address, QWidget* parent = nullptr);
  const QString& Address() const { return FAddress; }
  void SetNormalColor(const QColor& color);

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void Paint(const QColor& color);

  QString FAddress;
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
