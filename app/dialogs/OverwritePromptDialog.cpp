#include "app/dialogs/OverwritePromptDialog.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include "app/dialogs/DialogServices.h"

namespace dkscr {
namespace {

// The dialog results of the four buttons, as a message box numbers them.
constexpr int kResultAutoRename = 6;  // Yes
constexpr int kResultOverwrite = 7;   // No
constexpr int kResultCancel = 2;
constexpr int kResultStop = 3;        // Abort

}  // namespace

OverwritePromptDialog::OverwritePromptDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("Kel-Deckscribe"));
  iconLabel = new QLabel(this);
  QIcon icon = QApplication::windowIcon();
  if (icon.isNull()) icon = style()->standardIcon(QStyle::SP_MessageBoxQuestion);
  iconLabel->setPixmap(icon.pixmap(32, 32));
  iconLabel->setFixedSize(32, 32);
  fileLabel = new QLabel(this);
  fileLabel->setTextFormat(Qt::PlainText);
  fileLabel->setWordWrap(true);
  messageLabel = new QLabel(tr("The file already exist."), this);
  autoRenameButton = new QPushButton(tr("&Auto Rename"), this);
  overwriteButton = new QPushButton(tr("&Overwrite"), this);
  cancelButton = new QPushButton(tr("&Cancel"), this);
  stopButton = new QPushButton(tr("&Stop Convert"), this);
  autoRenameButton->setDefault(true);
  connect(autoRenameButton, &QPushButton::clicked, this, [this] { done(kResultAutoRename); });
  connect(overwriteButton, &QPushButton::clicked, this, [this] { done(kResultOverwrite); });
  connect(cancelButton, &QPushButton::clicked, this, [this] { done(kResultCancel); });
  connect(stopButton, &QPushButton::clicked, this, [this] { done(kResultStop); });

  auto* grid = new QGridLayout(this);
  grid->addWidget(iconLabel, 0, 0, 2, 1, Qt::AlignTop);
  grid->addWidget(fileLabel, 0, 1);
  grid->addWidget(messageLabel, 1, 1);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {autoRenameButton, overwriteButton, cancelButton, stopButton}) buttons->addWidget(b);
  grid->addLayout(buttons, 2, 0, 1, 2);
  grid->setColumnStretch(1, 1);
  setFixedWidth(QSize(440, 97).expandedTo(sizeHint()).width());
}

OverwriteAnswer OverwritePromptDialog::Ask(const QString& target) {
  fileLabel->setText(target);
  autoRenameButton->setFocus();
  adjustSize();
  CenterOnOwner(this);
  switch (exec()) {
    case kResultAutoRename: return OverwriteAnswer::kAutoRename;
    case kResultOverwrite: return OverwriteAnswer::kOverwrite;
    case kResultStop: return OverwriteAnswer::kStop;
    default: return OverwriteAnswer::kCancel;
  }
}

// Esc and the window frame both answer Cancel.
void OverwritePromptDialog::reject() { done(kResultCancel); }

}  // namespace dkscr
