#include "app/dialogs/AddFolderDialog.h"

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
#include "app/dialogs/FolderListDialog.h"
#include "app/widgets/FileFilters.h"

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

AddFolderDialog::AddFolderDialog(AppState& state, FolderListDialog& folderList,
                                 DialogServices& services, QWidget* parent)
    : QDialog(parent), state_(state), folderList_(folderList), services_(services) {
  setWindowTitle(tr("Add directory"));
  folderLabel = new QLabel(tr("Directory"), this);
  folderEdit = new QLineEdit(this);
  folderEdit->setMinimumWidth(folderEdit->fontMetrics().averageCharWidth() * 45);
  browseButton = new QPushButton(tr("&Browse"), this);
  typeLabel = new QLabel(tr("Select type of file to be converted:"), this);
  typeList = new QListWidget(this);
  typeList->setMaximumHeight(typeList->fontMetrics().height() * 5);
  selectAllButton = FlatButton(tr("&Select All"), this);
  invertButton = FlatButton(tr("&Invert selection"), this);
  selectNoneButton = FlatButton(tr("Select &None"), this);
  recursiveBox = new QCheckBox(tr("Recursive Sub Directory"), this);
  okButton = new QPushButton(tr("&OK"), this);
  cancelButton = new QPushButton(tr("&Cancel"), this);
  // Screen readers name each field by its label.
  folderLabel->setBuddy(folderEdit);
  typeLabel->setBuddy(typeList);

  auto* dirRow = new QHBoxLayout;
  dirRow->addWidget(folderEdit, 1);
  dirRow->addWidget(browseButton);
  auto* tickButtons = new QHBoxLayout;
  tickButtons->addWidget(selectAllButton);
  tickButtons->addWidget(invertButton);
  tickButtons->addWidget(selectNoneButton);
  tickButtons->addStretch(1);
  auto* closeButtons = new QHBoxLayout;
  closeButtons->addStretch(1);
  closeButtons->addWidget(okButton);
  closeButtons->addWidget(cancelButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(folderLabel);
  layout->addLayout(dirRow);
  layout->addWidget(typeLabel);
  layout->addWidget(typeList);
  layout->addLayout(tickButtons);
  layout->addWidget(recursiveBox);
  layout->addLayout(closeButtons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  const Settings& s = state_.settings;
  folderEdit->setText(Q(s.scanFolders));
  typeList->clear();
  const bool ticked[] = {s.scanType1, s.scanType2};
  for (int n = 1; n <= kFileTypeCount; ++n) {
    auto* row = new QListWidgetItem(typeList);
    row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    row->setCheckState(ticked[n - 1] ? Qt::Checked : Qt::Unchecked);
  }
  LabelRows();
  recursiveBox->setChecked(s.scanRecursive);

  connect(browseButton, &QPushButton::clicked, this, [this] { EditFolderList(); });
  connect(selectAllButton, &QToolButton::clicked, this, [this] { SetTicks(0); });
  connect(invertButton, &QToolButton::clicked, this, [this] { SetTicks(1); });
  connect(selectNoneButton, &QToolButton::clicked, this, [this] { SetTicks(2); });
  connect(okButton, &QPushButton::clicked, this, [this] { StoreAndClose(); });
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
  new KeyPreview(this, [this] { StoreAndClose(); }, [this] { reject(); });
}

AddFolderDialog::~AddFolderDialog() { StoreChoices(); }

void AddFolderDialog::StoreChoices() {
  Settings& s = state_.settings;
  s.scanType1 = TypeTicked(1);
  s.scanType2 = TypeTicked(2);
  s.scanRecursive = recursiveBox->isChecked();
}

bool AddFolderDialog::TypeTicked(int typeNumber) const {
  const QListWidgetItem* row = typeList->item(typeNumber - 1);
  return row != nullptr && row->checkState() == Qt::Checked;
}

void AddFolderDialog::LabelRows() {
  for (int n = 1; n <= kFileTypeCount; ++n)
    typeList->item(n - 1)->setText(
        FileTypeRowLabel(FileTypeDescription(n), Q(TypeMasks(state_.settings, n)), QString()));
}

void AddFolderDialog::SetTicks(int mode) {
  for (int i = 0; i < typeList->count(); ++i) {
    QListWidgetItem* row = typeList->item(i);
    const bool ticked = mode == 0 || (mode == 1 && row->checkState() != Qt::Checked);
    row->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
  }
}

void AddFolderDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) LabelRows();
}

void AddFolderDialog::EditFolderList() {
  folderList_.SetDirList(folderEdit->text());
  if (folderList_.exec() == QDialog::Accepted) folderEdit->setText(JoinDirList(folderList_.Rows()));
}

void AddFolderDialog::StoreAndClose() {
  state_.settings.scanFolders = folderEdit->text().toStdU16String();
  for (int n = 1; n <= kFileTypeCount; ++n) {
    if (TypeTicked(n)) {
      accept();
      return;
    }
  }
  ShowErrorMessage(services_, this, tr("Please select the type of file to be converted!"));
}

}  // namespace dkscr
