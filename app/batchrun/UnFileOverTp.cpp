#include "app/batchrun/UnFileOverTp.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace dkscr {
namespace {

constexpr int kResultAutoRename = 6;
constexpr int kResultOverwrite = 7;
constexpr int kResultCancel = 2;
constexpr int kResultStop = 3;

}  // namespace

TFmFileOverTp::TFmFileOverTp(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Kel-Deckscribe"));
  Image1 = new QLabel(this);
  QIcon icon = QApplication::windowIcon();
  if (icon.isNull()) icon = style()->standardIcon(QStyle::SP_MessageBoxQuestion);
  Image1->setPixmap(icon.pixmap(32, 32));
  Image1->setFixedSize(32, 32);
  LblFileName = new QLabel(this);
  LblFileName->setTextFormat(Qt::PlainText);
  LblFileName->setWordWrap(true);
  Label2 = new QLabel(tr("The file already exist."), this);
  BtnAutoRename = new QPushButton(tr("&Auto Rename"), this);
  BtnOverwrite = new QPushButton(tr("&Overwrite"), this);
  BtnCancel = new QPushButton(tr("&Cancel"), this);
  SpeedButton1 = new QPushButton(tr("&Stop Convert"), this);
  BtnAutoRename->setDefault(true);
  connect(BtnAutoRename, &QPushButton::clicked, this, [this] { done(kResultAutoRename); });
  connect(BtnOverwrite, &QPushButton::clicked, this, [this] { done(kResultOverwrite); });
  connect(BtnCancel, &QPushButton::clicked, this, [this] { done(kResultCancel); });
  connect(SpeedButton1, &QPushButton::clicked, this, [this] { done(kResultStop); });

  auto* grid = new QGridLayout(this);
  grid->addWidget(Image1, 0, 0, 2, 1, Qt::AlignTop);
  grid->addWidget(LblFileName, 0, 1);
  grid->addWidget(Label2, 1, 1);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {BtnAutoRename, BtnOverwrite, BtnCancel, SpeedButton1}) buttons->addWidget(b);
  grid->addLayout(buttons, 2, 0, 1, 2);
  grid->setColumnStretch(1, 1);
  setFixedWidth(QSize(440, 97).expandedTo(sizeHint()).width());
}

int TFmFileOverTp::Ask(const QString& target) {
  LblFileName->setText(target);
  BtnAutoRename->setFocus();
  adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  return exec();
}

// Esc and the window frame both answer Cancel.
void TFmFileOverTp::reject() { done(kResultCancel); }

}  // namespace dkscr
