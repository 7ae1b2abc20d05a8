#include "app/dialogs/OptionsDialog.h"

#include <algorithm>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/session/FileTypes.h"
#include "app/session/AppState.h"
#include "app/session/ProgramDir.h"
#include "app/dialogs/CodePageList.h"
#include "app/dialogs/DialogServices.h"
#include "app/dialogs/HelpWindow.h"
#include "app/widgets/ColumnTrackingTable.h"
#include "app/widgets/FileFilters.h"
#include "app/dialogs/KeyPreview.h"

namespace dkscr {

namespace {

constexpr int kUserMaskColumn = 3;

// The names after the numbers, for the translations (lupdate reads them here).
[[maybe_unused]] constexpr const char* kCodePageNames[] = {
    QT_TRANSLATE_NOOP("CodePages", "Default"),
    QT_TRANSLATE_NOOP("CodePages", "Latin 1: European Western"),
    QT_TRANSLATE_NOOP("CodePages", "Unicode (UTF-16, ISO 10646)"),
    QT_TRANSLATE_NOOP("CodePages", "Unicode (UTF-8)"),
    QT_TRANSLATE_NOOP("CodePages", "European Eastern"),
    QT_TRANSLATE_NOOP("CodePages", "Arabic"),
    QT_TRANSLATE_NOOP("CodePages", "Baltic"),
    QT_TRANSLATE_NOOP("CodePages", "Cyrillic"),
    QT_TRANSLATE_NOOP("CodePages", "Greek"),
    QT_TRANSLATE_NOOP("CodePages", "Hebrew"),
    QT_TRANSLATE_NOOP("CodePages", "Turkish"),
    QT_TRANSLATE_NOOP("CodePages", "Thai"),
    QT_TRANSLATE_NOOP("CodePages", "Japanese"),
    QT_TRANSLATE_NOOP("CodePages", "Chinese Simplified"),
    QT_TRANSLATE_NOOP("CodePages", "Chinese Traditional"),
    QT_TRANSLATE_NOOP("CodePages", "Korean Hangul"),
    QT_TRANSLATE_NOOP("CodePages", "Korean Johab"),
};


QString Q(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

OptionsDialog::OptionsDialog(AppState& state, DialogServices& services, QWidget* parent)
    : QDialog(parent), state_(state), services_(services) {
  setWindowTitle(tr("Options"));
  pages = new QTabWidget(this);
  pages->setDocumentMode(true);  // flat, button-like tabs
  generalPage = new QWidget;
  extensionPage = new QWidget;
  specialPage = new QWidget;
  pages->addTab(generalPage, tr("General"));
  pages->addTab(extensionPage, tr("File Extension"));
  pages->addTab(specialPage, tr("Special"));
  BuildGeneralPage();
  BuildFileExtensionPage();
  BuildSpecialPage();
  // This program offers only the general page; the other two still carry their settings.
  pages->tabBar()->setTabVisible(2, false);
  pages->tabBar()->setTabVisible(1, false);
  pages->setCurrentIndex(0);

  okButton = new QPushButton(tr("&OK"), this);
  cancelButton = new QPushButton(tr("&Cancel"), this);
  helpButton = new QPushButton(tr("&Help"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(okButton);
  buttons->addWidget(cancelButton);
  buttons->addWidget(helpButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);  // fixed border, sized by the fonts

  connect(okButton, &QPushButton::clicked, this, [this] { StoreAndClose(); });
  connect(cancelButton, &QPushButton::clicked, this, [this] { DiscardAndClose(); });
  connect(helpButton, &QPushButton::clicked, this, [this] { ShowHelpPage(); });
  connect(browseButton, &QPushButton::clicked, this, [this] { BrowseTargetFolder(); });
  connect(sameFolderBox, &QCheckBox::clicked, this, [this] { ApplySameFolderRule(); });
  new KeyPreview(this, [this] { StoreAndClose(); }, [this] { DiscardAndClose(); });
  FillControls();
}

void OptionsDialog::BuildGeneralPage() {
  auto* group = new QGroupBox(generalPage);
  sameFolderBox = new QCheckBox(tr("Target file directory same as source file"),
                            generalPage);
  targetFolderLabel = new QLabel(tr("Target file dir"), group);
  targetFolderEdit = new QLineEdit(group);
  targetFolderEdit->setMinimumWidth(targetFolderEdit->fontMetrics().averageCharWidth() * 40);
  browseButton = new QPushButton(tr("&Browse"), group);
  auto* dirRow = new QHBoxLayout;
  dirRow->addWidget(targetFolderEdit, 1);
  dirRow->addWidget(browseButton);
  auto* groupLayout = new QVBoxLayout(group);
  groupLayout->addWidget(sameFolderBox);
  groupLayout->addWidget(targetFolderLabel);
  groupLayout->addLayout(dirRow);

  overwriteLabel = new QLabel(tr("When target file exists"), generalPage);
  overwriteList = new QComboBox(generalPage);
  overwriteList->addItems({tr("Auto rename"), tr("Overwrite"),
                            tr("Prompt"), tr("Cancel")});
  codePageLabel = new QLabel(tr("File code page"), generalPage);
  codePageBox = new QComboBox(generalPage);
  codePageBox->setEditable(true);
  codePageBox->setInsertPolicy(QComboBox::NoInsert);
  codePageBox->setCompleter(nullptr);  // what the user types is what is parsed
  // Each item's number stays as it is; its name is shown in the user's language.
  for (const std::string& item : CodePageItems()) {
    const size_t name = item.find_first_not_of(' ', item.find(' '));
    codePageBox->addItem(QString::fromStdString(item.substr(0, name)) +
                         QCoreApplication::translate("CodePages", item.c_str() + name));
  }
  // Screen readers name each field by its label.
  targetFolderLabel->setBuddy(targetFolderEdit);
  overwriteLabel->setBuddy(overwriteList);
  codePageLabel->setBuddy(codePageBox);

  textFormLabel = new QLabel(tr("Text file content"), generalPage);
  textFormList = new QComboBox(generalPage);
  // In the order of the textform values.
  textFormList->addItems({tr("Text of the slides"), tr("Complete text (notes, tables, comments)"),
                          tr("Markdown (.md)"), tr("JSON (.json)")});
  textFormLabel->setBuddy(textFormList);

  auto* grid = new QGridLayout;
  grid->addWidget(overwriteLabel, 0, 0);
  grid->addWidget(overwriteList, 0, 1);
  grid->addWidget(codePageLabel, 1, 0);
  grid->addWidget(codePageBox, 1, 1);
  grid->addWidget(textFormLabel, 2, 0);
  grid->addWidget(textFormList, 2, 1);
  grid->setColumnStretch(1, 1);
  auto* page = new QVBoxLayout(generalPage);
  page->addWidget(group);
  page->addLayout(grid);
  page->addStretch(1);
}

void OptionsDialog::BuildFileExtensionPage() {
  typeTable = new ColumnTrackingTable(extensionPage);
  typeTable->setAccessibleName(tr("File types"));  // the page has no label for it
  typeTable->setColumnCount(4);
  typeTable->setHorizontalHeaderLabels({tr("Type"), tr("Description"),
                                        tr("Default ext"),
                                        tr("User defined")});
  const int widths[] = {38, 100, 76, 80};
  for (int c = 0; c < 4; ++c) typeTable->setColumnWidth(c, widths[c]);
  auto* page = new QVBoxLayout(extensionPage);
  page->setContentsMargins(0, 0, 0, 0);
  page->addWidget(typeTable);

  maskEditor = new QLineEdit(typeTable->viewport());
  maskEditor->setFrame(false);
  const int margin = maskEditor->font().pointSize() / 2;
  maskEditor->setTextMargins(margin > 0 ? margin : 0, 0, 0, 0);
  maskEditor->hide();

  connect(typeTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this](const QItemSelection& selected, const QItemSelection& deselected) {
            for (const QModelIndex& index : deselected.indexes())
              if (index.column() == 0) PlaceMaskEditor(index.row(), false);
            for (const QModelIndex& index : selected.indexes())
              if (index.column() == 0) PlaceMaskEditor(index.row(), true);
          });
  const auto follow = [this] { PlaceMaskEditor(SelectedTypeRow(), true); };
  connect(typeTable, &ColumnTrackingTable::OnEndColumnResize, this, follow);
  connect(typeTable, &ColumnTrackingTable::OnHScroll, this, follow);
  connect(maskEditor, &QLineEdit::textEdited, this,
          [this](const QString& text) { StoreUserMask(text); });
  FillTypeList();
  maskEditor->raise();
}

void OptionsDialog::BuildSpecialPage() {
  pdfGroup = new QGroupBox(tr("PDF"), specialPage);
  textOrderLabel = new QLabel(tr("Text output order"), pdfGroup);
  textOrderList = new QComboBox(pdfGroup);
  textOrderList->addItems({tr("Default reading order"),
                          tr("Maintain original layout"),
                          tr("Keep raw order")});
  pageBreakBox = new QCheckBox(tr("Insert page break"), pdfGroup);
  textOrderLabel->setBuddy(textOrderList);
  auto* pdf = new QVBoxLayout(pdfGroup);
  pdf->addWidget(textOrderLabel);
  pdf->addWidget(textOrderList);
  pdf->addWidget(pageBreakBox);
  docGroup = new QGroupBox(tr("DOC"), specialPage);
  keepRawBox = new QCheckBox(tr("Keep raw characters"), docGroup);
  auto* doc = new QVBoxLayout(docGroup);
  doc->addWidget(keepRawBox);
  auto* page = new QVBoxLayout(specialPage);
  page->addWidget(pdfGroup);
  page->addWidget(docGroup);
  page->addStretch(1);
}

void OptionsDialog::FillTypeList() {
  typeTable->clearContents();
  typeTable->setRowCount(kFileTypeCount);
  for (int n = 1; n <= kFileTypeCount; ++n) {
    const FileType& type = FileTypeRow(n);
    const QString cells[] = {Q(type.TypeTag), FileTypeDescription(n), Q(FamilyMasks(n)), {}};
    for (int c = 0; c < 4; ++c) typeTable->setItem(n - 1, c, new QTableWidgetItem(cells[c]));
  }
}

void OptionsDialog::FillControls() {
  const Settings& s = state_.settings;
  targetFolderEdit->setText(Q(s.targetDir));
  sameFolderBox->setChecked(s.targetBesideSource);
  ApplySameFolderRule();
  overwriteList->setCurrentIndex(s.overwritePolicy < overwriteList->count() ? s.overwritePolicy : -1);

  const std::string codeText = CodePageDisplayText(s.codePage);
  const auto& items = CodePageItems();
  const auto item = std::find(items.begin(), items.end(), codeText);
  const int index = item == items.end() ? -1 : int(item - items.begin());
  codePageBox->setCurrentIndex(index);
  codePageBox->setEditText(index >= 0 ? codePageBox->itemText(index) : QString::fromStdString(codeText));
  textFormList->setCurrentIndex(s.textForm >= 0 && s.textForm < textFormList->count() ? s.textForm : 0);

  typeTable->item(0, kUserMaskColumn)->setText(Q(s.userMasks1));
  typeTable->item(1, kUserMaskColumn)->setText(Q(s.userMasks2));

  textOrderList->setCurrentIndex(s.textOrder >= 0 && s.textOrder < textOrderList->count()
                                    ? s.textOrder
                                    : -1);
  pageBreakBox->setChecked(s.pageBreak);
  keepRawBox->setChecked(s.keepRaw == 1);
}

void OptionsDialog::ApplySameFolderRule() {
  const bool own = !sameFolderBox->isChecked();
  targetFolderEdit->setEnabled(own);
  browseButton->setEnabled(own);
}

void OptionsDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;  // back from being minimised: keep the edits
  pages->setCurrentIndex(0);
  FillControls();
  sameFolderBox->setFocus();
}

void OptionsDialog::StoreAndClose() {
  Settings& s = state_.settings;
  s.targetDir = WithTrailingSeparator(targetFolderEdit->text().toStdU16String());
  s.targetBesideSource = sameFolderBox->isChecked();
  s.overwritePolicy = static_cast<uint8_t>(overwriteList->currentIndex());  // none gives 255

  // An item shown in the user's language stands for the item itself.
  const int item = codePageBox->findText(codePageBox->currentText(), Qt::MatchExactly);
  const std::string codeText = item >= 0 ? CodePageItems()[size_t(item)]
                                         : codePageBox->currentText().toStdString();
  const auto codePage = ParseCodePageText(codeText);
  if (!codePage) {
    ShowErrorMessage(services_, this, tr("Code page identifier must be numeric!"));
    codePageBox->setFocus();
    return;
  }
  s.codePage = *codePage;
  s.textForm = textFormList->currentIndex() < 0 ? kTextFormSlides : textFormList->currentIndex();

  s.userMasks1 = typeTable->item(0, kUserMaskColumn)->text().toStdU16String();
  s.userMasks2 = typeTable->item(1, kUserMaskColumn)->text().toStdU16String();
  state_.RebuildMaskList();

  s.textOrder = textOrderList->currentIndex();
  s.pageBreak = pageBreakBox->isChecked();
  s.keepRaw = keepRawBox->isChecked() ? 1 : 0;
  accept();
}

void OptionsDialog::DiscardAndClose() {
  FillControls();
  QDialog::reject();
}

// The title-bar button discards the edits like Cancel.
void OptionsDialog::reject() { DiscardAndClose(); }

void OptionsDialog::BrowseTargetFolder() {
  QString folder = targetFolderEdit->text();
  if (BrowseForFolder(services_, this, tr("Select target directory"), QString(), folder) &&
      !folder.isEmpty()) {
    targetFolderEdit->setText(folder);
  }
}

void OptionsDialog::ShowHelpPage() { ShowHelp(this, QString::fromLatin1(kHelpOptions)); }

int OptionsDialog::SelectedTypeRow() const {
  const QModelIndexList rows = typeTable->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.front().row();
}

void OptionsDialog::PlaceMaskEditor(int row, bool selected) {
  if (!typeTable->isVisible()) return;
  if (!selected || row < 0 || row >= typeTable->rowCount()) {
    maskEditor->hide();
    return;
  }
  QTableWidgetItem* cell = typeTable->item(row, kUserMaskColumn);
  maskEditor->setGeometry(typeTable->visualItemRect(cell));
  maskEditor->setText(cell->text());
  maskEditor->show();
  maskEditor->raise();
}

void OptionsDialog::StoreUserMask(const QString& text) {
  const int row = SelectedTypeRow();
  if (row >= 0) typeTable->item(row, kUserMaskColumn)->setText(text);
}

}  // namespace dkscr
