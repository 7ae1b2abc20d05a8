#include "app/dialogs/FolderListDialog.h"

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

FolderListDialog::FolderListDialog(const QString& dirList, DialogServices& services, QWidget* parent)
    : QDialog(parent), services_(services) {
  setWindowTitle(tr("Directory"));
  folderLabel = new QLabel(tr("List of directories:"), this);
  folderList = new QListWidget(this);
  folderList->setSortingEnabled(false);
  folderList->setSelectionMode(QAbstractItemView::SingleSelection);
  folderList->setMinimumWidth(folderList->fontMetrics().averageCharWidth() * 50);
  folderEdit = new QLineEdit(this);
  folderLabel->setBuddy(folderList);  // screen readers name the list by its label
  folderEdit->setAccessibleName(tr("Directory"));  // the field has no label of its own
  browseButton = new QPushButton(tr("&Browse"), this);
  replaceButton = new QPushButton(tr("&Replace"), this);
  addButton = new QPushButton(tr("&Add"), this);
  deleteButton = new QPushButton(tr("&Delete"), this);
  okButton = new QPushButton(tr("&OK"), this);
  cancelButton = new QPushButton(tr("&Cancel"), this);

  auto* editRow = new QHBoxLayout;
  editRow->addWidget(folderEdit, 1);
  editRow->addWidget(browseButton);
  auto* rowButtons = new QHBoxLayout;
  rowButtons->addWidget(replaceButton);
  rowButtons->addWidget(addButton);
  rowButtons->addWidget(deleteButton);
  rowButtons->addStretch(1);
  auto* closeButtons = new QHBoxLayout;
  closeButtons->addStretch(1);
  closeButtons->addWidget(okButton);
  closeButtons->addWidget(cancelButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(folderLabel);
  layout->addWidget(folderList, 1);
  layout->addLayout(editRow);
  layout->addLayout(rowButtons);
  layout->addLayout(closeButtons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(folderList, &QListWidget::itemSelectionChanged, this, [this] { TakeClickedRow(); });
  connect(folderEdit, &QLineEdit::textChanged, this, [this] { UpdateButtons(); });
  connect(addButton, &QPushButton::clicked, this, [this] { AddRow(); });
  connect(replaceButton, &QPushButton::clicked, this, [this] { ReplaceRow(); });
  connect(deleteButton, &QPushButton::clicked, this, [this] { DeleteRow(); });
  connect(browseButton, &QPushButton::clicked, this, [this] { BrowseFolder(); });
  connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
  new KeyPreview(this, [this] { accept(); }, [this] { reject(); });
  SetDirList(dirList);
}

void FolderListDialog::SetDirList(const QString& list) {
  folderList->clear();
  folderList->addItems(SplitDirList(list));
  addButton->setEnabled(false);
  replaceButton->setEnabled(false);
  deleteButton->setEnabled(false);
  if (folderList->count() > 0) {
    folderList->setCurrentRow(0);
    folderEdit->setText(folderList->item(0)->text());
    deleteButton->setEnabled(true);
  } else {
    folderEdit->clear();
  }
  // The rows and the text are set; Add and Replace start disabled whatever the text says.
  addButton->setEnabled(false);
  replaceButton->setEnabled(false);
}

QStringList FolderListDialog::Rows() const {
  QStringList rows;
  for (int i = 0; i < folderList->count(); ++i) rows << folderList->item(i)->text();
  return rows;
}

void FolderListDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) CenterOnOwner(this);
}

void FolderListDialog::TakeClickedRow() {
  const QList<QListWidgetItem*> selected = folderList->selectedItems();
  folderEdit->setText(selected.isEmpty() ? QString() : selected.front()->text());
}

void FolderListDialog::UpdateButtons() {
  const bool canAdd = CanAddDir(folderEdit->text(), Rows());
  addButton->setEnabled(canAdd);
  replaceButton->setEnabled(canAdd);
}

void FolderListDialog::AddRow() {
  folderList->addItem(folderEdit->text());
  UpdateButtons();
}

void FolderListDialog::ReplaceRow() {
  const QList<QListWidgetItem*> selected = folderList->selectedItems();
  if (!selected.isEmpty()) selected.front()->setText(folderEdit->text());
  UpdateButtons();
}

void FolderListDialog::DeleteRow() {
  const QList<QListWidgetItem*> selected = folderList->selectedItems();
  if (!selected.isEmpty()) delete folderList->takeItem(folderList->row(selected.front()));
  folderEdit->clear();
}

void FolderListDialog::BrowseFolder() {
  QString folder = folderEdit->text();
  if (BrowseForFolder(services_, this, tr("Select directory"), QString(), folder) &&
      !folder.isEmpty()) {
    folderEdit->setText(folder);
  }
}

}  // namespace dkscr
