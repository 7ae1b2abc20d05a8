#include "app/dialogs/ConvertProgressDialog.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "app/dialogs/DialogServices.h"

namespace dkscr {

ConvertProgressDialog::ConvertProgressDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("Converting Files..."));
  setModal(false);
  fileLabel = new QLabel(this);
  fileLabel->setTextFormat(Qt::PlainText);
  fileLabel->setMinimumWidth(1);  // long paths must not widen the dialog
  doneLabel = new QLabel(QStringLiteral("0"), this);
  doneLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  totalLabel = new QLabel(QStringLiteral("/0"), this);
  gauge = new QProgressBar(this);
  gauge->setTextVisible(false);
  gauge->setRange(0, 0);
  hintLabel = new QLabel(tr("Press CANCEL to abort current operation."), this);
  cancelButton = new QPushButton(tr("&Cancel"), this);
  connect(cancelButton, &QPushButton::clicked, this, &ConvertProgressDialog::RequestCancel);

  auto* grid = new QGridLayout(this);
  grid->addWidget(fileLabel, 0, 0);
  // No gap between the two counts, so that they read as one: 3/12.
  auto* counts = new QHBoxLayout;
  counts->setSpacing(0);
  counts->addWidget(doneLabel);
  counts->addWidget(totalLabel);
  grid->addLayout(counts, 0, 1);
  grid->addWidget(gauge, 1, 0, 1, 2);
  grid->addWidget(hintLabel, 2, 0);
  grid->addWidget(cancelButton, 2, 1, Qt::AlignRight);
  grid->setColumnStretch(0, 1);
  setFixedSize(QSize(493, 100).expandedTo(sizeHint()));
}

void ConvertProgressDialog::Start(int maximum) {
  gauge->setRange(0, maximum);
  gauge->setValue(0);
  doneLabel->setText(QStringLiteral("0"));
  totalLabel->setText(QStringLiteral("/") + QString::number(maximum));
  fileLabel->clear();
  CenterOnOwner(this);
  show();
  raise();
}

void ConvertProgressDialog::ShowFileName(const QString& path) {
  fileLabel->setText(fileLabel->fontMetrics().elidedText(path, Qt::ElideMiddle,
                                                            fileLabel->width()));
  fileLabel->setToolTip(path);
}

void ConvertProgressDialog::SetProgress(int position) {
  gauge->setValue(position);
  doneLabel->setText(QString::number(gauge->value()));
}

int ConvertProgressDialog::Progress() const { return gauge->value(); }
int ConvertProgressDialog::Maximum() const { return gauge->maximum(); }

void ConvertProgressDialog::RequestCancel() {
  if (onCancel_) onCancel_();
}

void ConvertProgressDialog::reject() { RequestCancel(); }

void ConvertProgressDialog::closeEvent(QCloseEvent* event) {
  RequestCancel();
  event->accept();  // the base class would route this through reject() a second time
}

}  // namespace dkscr
