#include "app/dialogs/UnCancelFind.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/dialogs/DialogResources.h"
#include "app/dialogs/FrameAnimation.h"
#include "app/dialogs/KeyPreview.h"

namespace dkscr {

TFmCancelFind::TFmCancelFind(QWidget* parent) : QDialog(parent) {
  InitDialogResources();
  setWindowTitle(tr("Searching Files ..."));
  setModal(false);

  Animate1 = new TFrameAnimation(QStringLiteral(":/dialogs/icons/findfile.png"), 8, 120,
                                 false, this);
  BtnCancel = new QPushButton(tr("Press to abort search operation"), this);
  BtnCancel->setMinimumWidth(BtnCancel->sizeHint().width() * 3 / 2);
  StatusBarFind = new QStatusBar(this);
  StatusBarFind->setSizeGripEnabled(false);
  FStatusLabel = new QLabel(StatusBarFind);
  FStatusLabel->setTextFormat(Qt::PlainText);
  FStatusLabel->setMinimumWidth(1);  // long folder paths must not widen the window
  StatusBarFind->addWidget(FStatusLabel, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Animate1, 0, Qt::AlignHCenter);
  layout->addWidget(BtnCancel, 0, Qt::AlignHCenter);
  layout->addWidget(StatusBarFind);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  setMinimumWidth(360);

  connect(BtnCancel, &QPushButton::clicked, this, [this] { BtnCancelClick(); });
  new KeyPreview(this, nullptr, [this] { BtnCancelClick(); });
}

void TFmCancelFind::SetStatusText(const QString& text) { FStatusLabel->setText(text); }


void TFmCancelFind::BtnCancelClick() { emit StopRequested(); }

void TFmCancelFind::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Animate1->Start();
}

void TFmCancelFind::hideEvent(QHideEvent* event) {
  Animate1->Stop();
  QDialog::hideEvent(event);
}

// The title-bar button and the owner's close() both stop the search and hide the window.
void TFmCancelFind::closeEvent(QCloseEvent* event) {
  emit StopRequested();
  event->accept();
}

// Esc reaches QDialog::reject only when no key preview took it; stop, but stay open.
void TFmCancelFind::reject() { BtnCancelClick(); }

}  // namespace dkscr
