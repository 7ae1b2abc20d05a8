#include "app/dialogs/AboutDialog.h"

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

LinkLabel::LinkLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent), normal_(Qt::blue) {
  setTextFormat(Qt::PlainText);
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::StrongFocus);
  QFont underlined = font();
  underlined.setUnderline(true);
  setFont(underlined);
  Paint(normal_);
}

void LinkLabel::SetNormalColor(const QColor& color) {
  normal_ = color;
  if (!underMouse()) Paint(color);
}

void LinkLabel::Paint(const QColor& color) {
  QPalette pal = palette();
  pal.setColor(QPalette::WindowText, color);
  setPalette(pal);
}

void LinkLabel::enterEvent(QEnterEvent* event) {
  Paint(Qt::blue);
  QLabel::enterEvent(event);
}

void LinkLabel::leaveEvent(QEvent* event) {
  Paint(normal_);
  QLabel::leaveEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
    emit Clicked();
  QLabel::mouseReleaseEvent(event);
}

void LinkLabel::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space) {
    emit Clicked();
    return;
  }
  QLabel::keyPressEvent(event);
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  InitDialogResources();
  setWindowTitle(tr("About Kel-Deckscribe"));

  auto* iconFrame = new QFrame(this);
  iconFrame->setFrameShape(QFrame::Box);
  animation = new FrameAnimation(QStringLiteral(":/dialogs/icons/aniabout.png"), 4, 400,
                                   true, iconFrame);
  auto* iconLayout = new QVBoxLayout(iconFrame);
  iconLayout->setContentsMargins(2, 2, 2, 2);
  iconLayout->addWidget(animation);

  productName = new QLabel(QStringLiteral("Kel-Deckscribe"), this);
  QFont big(QStringLiteral("Tahoma"));
  big.setPixelSize(20);
  big.setBold(true);
  productName->setFont(big);
  productVersion = new QLabel(tr("Version 3.0"), this);

  auto* line = new QFrame(this);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);

  // The help shipped inside the program, not a page on a network that may not be there.
  helpLink = new LinkLabel(tr("Deckscribe Help"), this);
  helpLink->SetNormalColor(QColor(0, 0, 128));  // navy
  connect(helpLink, &LinkLabel::Clicked, this, [this] { ShowHelp(this, QString()); });
  okButton = new QPushButton(tr("OK"), this);

  auto* names = new QVBoxLayout;
  names->addWidget(productName);
  names->addWidget(productVersion);
  auto* top = new QHBoxLayout;
  top->addWidget(iconFrame, 0, Qt::AlignTop);
  top->addSpacing(12);
  top->addLayout(names, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(okButton);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(line);
  layout->addWidget(helpLink);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
  new KeyPreview(this, [this] { accept(); }, [this] { reject(); });
  animation->Start();
}

void AboutDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) CenterOnScreen(this);
}

}  // namespace dkscr
