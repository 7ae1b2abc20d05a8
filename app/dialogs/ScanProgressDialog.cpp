#include "app/dialogs/ScanProgressDialog.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/dialogs/DialogResources.h"
#include "app/dialogs/FrameAnimation.h"
#include "app/dialogs/KeyPreview.h"

namespace dkscr {

ScanProgressDialog::ScanProgressDialog(QWidget* parent) : QDialog(parent) {
  InitDialogResources();
  setWindowTitle(tr("Searching Files ..."));
  setModal(false);

  animation = new FrameAnimation(QStringLiteral(":/dialogs/icons/findfile.png"), 8, 120,
                                 false, this);
  stopButton = new QPushButton(tr("Press to abort search operation"), this);
  stopButton->setMinimumWidth(stopButton->sizeHint().width() * 3 / 2);
  folderBar = new QStatusBar(this);
  folderBar->setSizeGripEnabled(false);
  folderLabel_ = new QLabel(folderBar);
  folderLabel_->setTextFormat(Qt::PlainText);
  folderLabel_->setMinimumWidth(1);  // long folder paths must not widen the window
  folderBar->addWidget(folderLabel_, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(animation, 0, Qt::AlignHCenter);
  layout->addWidget(stopButton, 0, Qt::AlignHCenter);
  layout->addWidget(folderBar);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  setMinimumWidth(360);

  connect(stopButton, &QPushButton::clicked, this, [this] { RequestStop(); });
  new KeyPreview(this, nullptr, [this] { RequestStop(); });
}

void ScanProgressDialog::SetStatusText(const QString& text) { folderLabel_->setText(text); }


void ScanProgressDialog::RequestStop() { emit StopRequested(); }

void ScanProgressDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  animation->Start();
}

void ScanProgressDialog::hideEvent(QHideEvent* event) {
  animation->Stop();
  QDialog::hideEvent(event);
}

// The title-bar button and the owner's close() both stop the search and hide the window.
void ScanProgressDialog::closeEvent(QCloseEvent* event) {
  emit StopRequested();
  event->accept();
}

// Esc reaches QDialog::reject only when no key preview took it; stop, but stay open.
void ScanProgressDialog::reject() { RequestStop(); }

}  // namespace dkscr
