#include "app/dialogs/UnAddDir.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/session/FileTypes.h"
#include "app/session/AppState.h"
#include "app/dialogs/DialogServices.h"
#include "app/dialogs/DirList.h"
#include "app/dialogs/KeyPreview.h"
#include "app/dialogs/UnDirectory.h"

namespace dkscr {

namespace {

QString Q(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QToolButton* FlatButton(const QString& text, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setText(text);
  button->setAutoRaise(true);
  return button;
}

}  // namespace

TFmAddDir::TFmAddDir(AppState& global, TFmDirectory& directoryDialog, QWidget* parent)
    : QDialog(parent), FGlobal(global), FDirectory(directoryDialog) {
  setWindowTitle(tr("Add directory"));
  Label1 = new QLabel(tr("Directory"), this);
  EditDir = new QLineEdit(this);
  EditDir->setMinimumWidth(EditDir->fontMetrics().averageCharWidth() * 45);
  BtnDir = new QPushButton(tr("&Browse"), this);
  Label2 = new QLabel(tr("Select type of file to be converted:"), this);
  CheckListBox1 = new QListWidget(this);
  CheckListBox1->setMaximumHeight(CheckListBox1->fontMetrics().height() * 5);
  SpeedButton1 = FlatButton(tr("&Select All"), this);
  SpeedButton2 = FlatButton(tr("&Invert selection"), this);
  SpeedButton3 = FlatButton(tr("Select &None"), this);
  CBRecursive = new QCheckBox(tr("Recursive Sub Directory"), this);
  BtnOK = new QPushButton(tr("&OK"), this);
  BtnCancel = new QPushButton(tr("&Cancel"), this);
  // Screen readers name each field by its label.
  Label1->setBuddy(EditDir);
  Label2->setBuddy(CheckListBox1);

  auto* dirRow = new QHBoxLayout;
  dirRow->addWidget(EditDir, 1);
  dirRow->addWidget(BtnDir);
  auto* tickButtons = new QHBoxLayout;
  tickButtons->addWidget(SpeedButton1);
  tickButtons->addWidget(SpeedButton2);
  tickButtons->addWidget(SpeedButton3);
  tickButtons->addStretch(1);
  auto* closeButtons = new QHBoxLayout;
  closeButtons->addStretch(1);
  closeButtons->addWidget(BtnOK);
  closeButtons->addWidget(BtnCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1);
  layout->addLayout(dirRow);
  layout->addWidget(Label2);
  layout->addWidget(CheckListBox1);
  layout->addLayout(tickButtons);
  layout->addWidget(CBRecursive);
  layout->addLayout(closeButtons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  const Settings& s = FGlobal.settings;
  EditDir->setText(Q(s.scanFolders));
  CheckListBox1->clear();
  const bool ticked[] = {s.scanType1, s.scanType2};
  for (int n = 1; n <= kFileTypeCount; ++n) {
    auto* row = new QListWidgetItem(CheckListBox1);
    row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    row->setCheckState(ticked[n - 1] ? Qt::Checked : Qt::Unchecked);
  }
  LabelRows();
  CBRecursive->setChecked(s.scanRecursive);

  connect(BtnDir, &QPushButton::clicked, this, [this] { BtnDirClick(); });
  connect(SpeedButton1, &QToolButton::clicked, this, [this] { SetTicks(0); });
  connect(SpeedButton2, &QToolButton::clicked, this, [this] { SetTicks(1); });
  connect(SpeedButton3, &QToolButton::clicked, this, [this] { SetTicks(2); });
  connect(BtnOK, &QPushButton::clicked, this, [this] { BtnOKClick(); });
  connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
  new KeyPreview(this, [this] { BtnOKClick(); }, [this] { reject(); });
}

TFmAddDir::~TFmAddDir() { StoreChoices(); }

void TFmAddDir::StoreChoices() {
  Settings& s = FGlobal.settings;
  s.scanType1 = TypeTicked(1);
  s.scanType2 = TypeTicked(2);
  s.scanRecursive = CBRecursive->isChecked();
}

bool TFmAddDir::TypeTicked(int typeNumber) const {
  const QListWidgetItem* row = CheckListBox1->item(typeNumber - 1);
  return row != nullptr && row->checkState() == Qt::Checked;
}

void TFmAddDir::LabelRows() {
  const std::u16string* userMasks[] = {&FGlobal.settings.userMasks1,
                                       &FGlobal.settings.userMasks2};
  for (int n = 1; n <= kFileTypeCount; ++n) {
    const FileType& type = FileTypeRow(n);
    CheckListBox1->item(n - 1)->setText(FileTypeRowLabel(
        Q(type.Description), Q(type.DefaultMask), Q(*userMasks[n - 1])));
  }
}

void TFmAddDir::SetTicks(int mode) {
  for (int i = 0; i < CheckListBox1->count(); ++i) {
    QListWidgetItem* row = CheckListBox1->item(i);
    const bool ticked = mode == 0 || (mode == 1 && row->checkState() != Qt::Checked);
    row->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
  }
}

void TFmAddDir::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) LabelRows();
}

void TFmAddDir::BtnDirClick() {
  FDirectory.SetDirList(EditDir->text());
  if (FDirectory.exec() == QDialog::Accepted) EditDir->setText(JoinDirList(FDirectory.Rows()));
}

void TFmAddDir::BtnOKClick() {
  FGlobal.settings.scanFolders = EditDir->text().toStdU16String();
  for (int n = 1; n <= kFileTypeCount; ++n) {
    if (TypeTicked(n)) {
      accept();
      return;
    }
  }
  ShowErrorMessage(this, tr("Please select the type of file to be converted!"));
}

}  // namespace dkscr
