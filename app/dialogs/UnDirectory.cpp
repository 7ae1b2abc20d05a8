#include "app/dialogs/UnDirectory.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "app/dialogs/DialogServices.h"
#include "app/dialogs/DirList.h"
#include "app/dialogs/KeyPreview.h"

namespace dkscr {

TFmDirectory::TFmDirectory(const QString& dirList, QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("Directory"));
  Label1 = new QLabel(tr("List of directories:"), this);
  LBOXDirs = new QListWidget(this);
  LBOXDirs->setSortingEnabled(false);
  LBOXDirs->setSelectionMode(QAbstractItemView::SingleSelection);
  LBOXDirs->setMinimumWidth(LBOXDirs->fontMetrics().averageCharWidth() * 50);
  EditDir = new QLineEdit(this);
  Label1->setBuddy(LBOXDirs);  // screen readers name the list by its label
  BtnDir = new QPushButton(tr("&Browse"), this);
  BtnReplace = new QPushButton(tr("&Replace"), this);
  BtnAdd = new QPushButton(tr("&Add"), this);
  BtnDelete = new QPushButton(tr("&Delete"), this);
  BtnOK = new QPushButton(tr("&OK"), this);
  BtnCancel = new QPushButton(tr("&Cancel"), this);

  auto* editRow = new QHBoxLayout;
  editRow->addWidget(EditDir, 1);
  editRow->addWidget(BtnDir);
  auto* rowButtons = new QHBoxLayout;
  rowButtons->addWidget(BtnReplace);
  rowButtons->addWidget(BtnAdd);
  rowButtons->addWidget(BtnDelete);
  rowButtons->addStretch(1);
  auto* closeButtons = new QHBoxLayout;
  closeButtons->addStretch(1);
  closeButtons->addWidget(BtnOK);
  closeButtons->addWidget(BtnCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1);
  layout->addWidget(LBOXDirs, 1);
  layout->addLayout(editRow);
  layout->addLayout(rowButtons);
  layout->addLayout(closeButtons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(LBOXDirs, &QListWidget::itemSelectionChanged, this, [this] { LBOXDirsClick(); });
  connect(EditDir, &QLineEdit::textChanged, this, [this] { EditDirChange(); });
  connect(BtnAdd, &QPushButton::clicked, this, [this] { BtnAddClick(); });
  connect(BtnReplace, &QPushButton::clicked, this, [this] { BtnReplaceClick(); });
  connect(BtnDelete, &QPushButton::clicked, this, [this] { BtnDeleteClick(); });
  connect(BtnDir, &QPushButton::clicked, this, [this] { BtnDirClick(); });
  connect(BtnOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
  new KeyPreview(this, [this] { accept(); }, [this] { reject(); });
  SetDirList(dirList);
}

void TFmDirectory::SetDirList(const QString& list) {
  LBOXDirs->clear();
  LBOXDirs->addItems(SplitDirList(list));
  BtnAdd->setEnabled(false);
  BtnReplace->setEnabled(false);
  BtnDelete->setEnabled(false);
  if (LBOXDirs->count() > 0) {
    LBOXDirs->setCurrentRow(0);
    EditDir->setText(LBOXDirs->item(0)->text());
    BtnDelete->setEnabled(true);
  } else {
    EditDir->clear();
  }
  // The rows and the text are set; Add and Replace start disabled whatever the text says.
  BtnAdd->setEnabled(false);
  BtnReplace->setEnabled(false);
}

QStringList TFmDirectory::Rows() const {
  QStringList rows;
  for (int i = 0; i < LBOXDirs->count(); ++i) rows << LBOXDirs->item(i)->text();
  return rows;
}

void TFmDirectory::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) CenterOnScreen(this);
}

void TFmDirectory::LBOXDirsClick() {
  const QList<QListWidgetItem*> selected = LBOXDirs->selectedItems();
  EditDir->setText(selected.isEmpty() ? QString() : selected.front()->text());
}

void TFmDirectory::EditDirChange() {
  const bool canAdd = CanAddDir(EditDir->text(), Rows());
  BtnAdd->setEnabled(canAdd);
  BtnReplace->setEnabled(canAdd);
}

void TFmDirectory::BtnAddClick() {
  LBOXDirs->addItem(EditDir->text());
  EditDirChange();
}

void TFmDirectory::BtnReplaceClick() {
  const QList<QListWidgetItem*> selected = LBOXDirs->selectedItems();
  if (!selected.isEmpty()) selected.front()->setText(EditDir->text());
  EditDirChange();
}

void TFmDirectory::BtnDeleteClick() {
  const QList<QListWidgetItem*> selected = LBOXDirs->selectedItems();
  if (!selected.isEmpty()) delete LBOXDirs->takeItem(LBOXDirs->row(selected.front()));
  EditDir->clear();
}

void TFmDirectory::BtnDirClick() {
  QString folder = EditDir->text();
  if (BrowseForFolder(this, tr("Select directory"), QString(), folder) &&
      !folder.isEmpty()) {
    EditDir->setText(folder);
  }
}

}  // namespace dkscr
