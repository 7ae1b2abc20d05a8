#include "app/dialogs/UnAbout.h"

#include <QEnterEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "app/dialogs/DialogResources.h"
#include "app/dialogs/DialogServices.h"
#include "app/dialogs/FrameAnimation.h"
#include "app/dialogs/HelpWindow.h"
#include "app/dialogs/KeyPreview.h"

namespace dkscr {

TLinkLabel::TLinkLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent), FNormal(Qt::blue) {
  setTextFormat(Qt::PlainText);
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::StrongFocus);
  QFont underlined = font();
  underlined.setUnderline(true);
  setFont(underlined);
  Paint(FNormal);
}

void TLinkLabel::SetNormalColor(const QColor& color) {
  FNormal = color;
  if (!underMouse()) Paint(color);
}

void TLinkLabel::Paint(const QColor& color) {
  QPalette pal = palette();
  pal.setColor(QPalette::WindowText, color);
  setPalette(pal);
}

void TLinkLabel::enterEvent(QEnterEvent* event) {
  Paint(Qt::blue);
  QLabel::enterEvent(event);
}

void TLinkLabel::leaveEvent(QEvent* event) {
  Paint(FNormal);
  QLabel::leaveEvent(event);
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
    emit Clicked();
  QLabel::mouseReleaseEvent(event);
}

void TLinkLabel::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space) {
    emit Clicked();
    return;
  }
  QLabel::keyPressEvent(event);
}

TFmAbout::TFmAbout(QWidget* parent) : QDialog(parent) {
  InitDialogResources();
  setWindowTitle(tr("About Kel-Deckscribe"));

  auto* iconFrame = new QFrame(this);
  iconFrame->setFrameShape(QFrame::Box);
  Animation1 = new TFrameAnimation(QStringLiteral(":/dialogs/icons/aniabout.png"), 4, 400,
                                   true, iconFrame);
  auto* iconLayout = new QVBoxLayout(iconFrame);
  iconLayout->setContentsMargins(2, 2, 2, 2);
  iconLayout->addWidget(Animation1);

  ProductName = new QLabel(QStringLiteral("Kel-Deckscribe"), this);
  QFont big(QStringLiteral("Tahoma"));
  big.setPixelSize(20);
  big.setBold(true);
  ProductName->setFont(big);
  ProductVer = new QLabel(tr("Version 3.0"), this);

  auto* line = new QFrame(this);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);

  // The help shipped inside the program, not a page on a network that may not be there.
  LinkLabel1 = new TLinkLabel(tr("Deckscribe Help"), this);
  LinkLabel1->SetNormalColor(QColor(0, 0, 128));  // navy
  connect(LinkLabel1, &TLinkLabel::Clicked, this, [this] { ShowHelp(this, QString()); });
  OKButton = new QPushButton(tr("OK"), this);

  auto* names = new QVBoxLayout;
  names->addWidget(ProductName);
  names->addWidget(ProductVer);
  auto* top = new QHBoxLayout;
  top->addWidget(iconFrame, 0, Qt::AlignTop);
  top->addSpacing(12);
  top->addLayout(names, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OKButton);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(line);
  layout->addWidget(LinkLabel1);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
  new KeyPreview(this, [this] { accept(); }, [this] { reject(); });
  Animation1->Start();
}

void TFmAbout::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) CenterOnScreen(this);
}

}  // namespace dkscr
