#include "app/batchrun/UnCancelCvt.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

namespace dkscr {

TFmCancelCvt::TFmCancelCvt(QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("Converting Files..."));
  setModal(false);
  LblFileName = new QLabel(this);
  LblFileName->setTextFormat(Qt::PlainText);
  LblFileName->setMinimumWidth(1);  // long paths must not widen the dialog
  LblSub = new QLabel(QStringLiteral("0"), this);
  LblSub->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  LblTot = new QLabel(QStringLiteral("/0"), this);
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setTextVisible(false);
  ProgressBar1->setRange(0, 0);
  Label1 = new QLabel(tr("Press CANCEL to abort current operation."), this);
  BtnCancel = new QPushButton(tr("&Cancel"), this);
  connect(BtnCancel, &QPushButton::clicked, this, &TFmCancelCvt::BtnCancelClick);

  auto* grid = new QGridLayout(this);
  grid->addWidget(LblFileName, 0, 0);
  // No gap between the two counts, so that they read as one: 3/12.
  auto* counts = new QHBoxLayout;
  counts->setSpacing(0);
  counts->addWidget(LblSub);
  counts->addWidget(LblTot);
  grid->addLayout(counts, 0, 1);
  grid->addWidget(ProgressBar1, 1, 0, 1, 2);
  grid->addWidget(Label1, 2, 0);
  grid->addWidget(BtnCancel, 2, 1, Qt::AlignRight);
  grid->setColumnStretch(0, 1);
  setFixedSize(QSize(493, 100).expandedTo(sizeHint()));
}

void TFmCancelCvt::Start(int maximum) {
  ProgressBar1->setRange(0, maximum);
  ProgressBar1->setValue(0);
  LblSub->setText(QStringLiteral("0"));
  LblTot->setText(QStringLiteral("/") + QString::number(maximum));
  LblFileName->clear();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  show();
  raise();
}

void TFmCancelCvt::ShowFileName(const QString& path) {
  LblFileName->setText(LblFileName->fontMetrics().elidedText(path, Qt::ElideMiddle,
                                                            LblFileName->width()));
  LblFileName->setToolTip(path);
}

void TFmCancelCvt::StepProgress() {
  ProgressBar1->setValue(ProgressBar1->value() + 1);
  LblSub->setText(QString::number(ProgressBar1->value()));
}

int TFmCancelCvt::Progress() const { return ProgressBar1->value(); }
int TFmCancelCvt::Maximum() const { return ProgressBar1->maximum(); }

void TFmCancelCvt::BtnCancelClick() {
  if (onCancel_) onCancel_();
}

void TFmCancelCvt::reject() { BtnCancelClick(); }

void TFmCancelCvt::closeEvent(QCloseEvent* event) {
  BtnCancelClick();
  event->accept();  // the base class would route this through reject() a second time
}

}  // namespace dkscr
