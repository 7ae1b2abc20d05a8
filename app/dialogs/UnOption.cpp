#include "app/dialogs/UnOption.h"

#include <QCheckBox>
#include <QComboBox>
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
#include "app/dialogs/KelListView.h"
#include "app/dialogs/KeyPreview.h"

namespace dkscr {

namespace {

constexpr int kUserMaskColumn = 3;

QString Q(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

TFmOption::TFmOption(AppState& global, QWidget* parent) : QDialog(parent), FGlobal(global) {
  setWindowTitle(tr("Options"));
  PageControl1 = new QTabWidget(this);
  PageControl1->setDocumentMode(true);  // flat, button-like tabs
  TabSheet1 = new QWidget;
  TabSheet2 = new QWidget;
  TabSheet3 = new QWidget;
  PageControl1->addTab(TabSheet1, tr("General"));
  PageControl1->addTab(TabSheet2, tr("File Extension"));
  PageControl1->addTab(TabSheet3, tr("Special"));
  BuildGeneralPage();
  BuildFileExtensionPage();
  BuildSpecialPage();
  // This program offers only the general page; the other two still carry their settings.
  PageControl1->tabBar()->setTabVisible(2, false);
  PageControl1->tabBar()->setTabVisible(1, false);
  PageControl1->setCurrentIndex(0);

  BtnOK = new QPushButton(tr("&OK"), this);
  BtnCancel = new QPushButton(tr("&Cancel"), this);
  BtnHelp = new QPushButton(tr("&Help"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(BtnOK);
  buttons->addWidget(BtnCancel);
  buttons->addWidget(BtnHelp);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(PageControl1);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);  // fixed border, sized by the fonts

  connect(BtnOK, &QPushButton::clicked, this, [this] { BtnOKClick(); });
  connect(BtnCancel, &QPushButton::clicked, this, [this] { BtnCancelClick(); });
  connect(BtnHelp, &QPushButton::clicked, this, [this] { BtnHelpClick(); });
  connect(BtnDir, &QPushButton::clicked, this, [this] { BtnDirClick(); });
  connect(CBSameDir, &QCheckBox::clicked, this, [this] { ApplySameDirRule(); });
  new KeyPreview(this, [this] { BtnOKClick(); }, [this] { BtnCancelClick(); });
  FillControls();
}

void TFmOption::BuildGeneralPage() {
  auto* group = new QGroupBox(TabSheet1);
  CBSameDir = new QCheckBox(tr("Target file directory same as source file"),
                            TabSheet1);
  Label1 = new QLabel(tr("Target file dir"), group);
  EditTargetDir = new QLineEdit(group);
  EditTargetDir->setMinimumWidth(EditTargetDir->fontMetrics().averageCharWidth() * 40);
  BtnDir = new QPushButton(tr("&Browse"), group);
  auto* dirRow = new QHBoxLayout;
  dirRow->addWidget(EditTargetDir, 1);
  dirRow->addWidget(BtnDir);
  auto* groupLayout = new QVBoxLayout(group);
  groupLayout->addWidget(CBSameDir);
  groupLayout->addWidget(Label1);
  groupLayout->addLayout(dirRow);

  Label2 = new QLabel(tr("When target file exists"), TabSheet1);
  ComBFileOverTp = new QComboBox(TabSheet1);
  ComBFileOverTp->addItems({tr("Auto rename"), tr("Overwrite"),
                            tr("Prompt"), tr("Cancel")});
  Label3 = new QLabel(tr("File code page"), TabSheet1);
  ComBSourceCode = new QComboBox(TabSheet1);
  ComBSourceCode->setEditable(true);
  ComBSourceCode->setInsertPolicy(QComboBox::NoInsert);
  ComBSourceCode->setCompleter(nullptr);  // what the user types is what is parsed
  for (const std::string& item : CodePageItems())
    ComBSourceCode->addItem(QString::fromStdString(item));
  // Screen readers name each field by its label.
  Label1->setBuddy(EditTargetDir);
  Label2->setBuddy(ComBFileOverTp);
  Label3->setBuddy(ComBSourceCode);

  LabelTextForm = new QLabel(QStringLiteral("Text file content"), TabSheet1);
  ComBTextForm = new QComboBox(TabSheet1);
  // In the order of the textform values.
  ComBTextForm->addItems({QStringLiteral("Text of the slides"),
                          QStringLiteral("Complete text (notes, tables, comments)"),
                          QStringLiteral("Markdown (.md)")});

  auto* grid = new QGridLayout;
  grid->addWidget(Label2, 0, 0);
  grid->addWidget(ComBFileOverTp, 0, 1);
  grid->addWidget(Label3, 1, 0);
  grid->addWidget(ComBSourceCode, 1, 1);
  grid->addWidget(LabelTextForm, 2, 0);
  grid->addWidget(ComBTextForm, 2, 1);
  grid->setColumnStretch(1, 1);
  auto* page = new QVBoxLayout(TabSheet1);
  page->addWidget(group);
  page->addLayout(grid);
  page->addStretch(1);
}

void TFmOption::BuildFileExtensionPage() {
  ListView1 = new TKelListView(TabSheet2);
  ListView1->setColumnCount(4);
  ListView1->setHorizontalHeaderLabels({tr("Type"), tr("Description"),
                                        tr("Default ext"),
                                        tr("User defined")});
  const int widths[] = {38, 100, 76, 80};
  for (int c = 0; c < 4; ++c) ListView1->setColumnWidth(c, widths[c]);
  auto* page = new QVBoxLayout(TabSheet2);
  page->setContentsMargins(0, 0, 0, 0);
  page->addWidget(ListView1);

  EditFileExt = new QLineEdit(ListView1->viewport());
  EditFileExt->setFrame(false);
  const int margin = EditFileExt->font().pointSize() / 2;
  EditFileExt->setTextMargins(margin > 0 ? margin : 0, 0, 0, 0);
  EditFileExt->hide();

  connect(ListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this](const QItemSelection& selected, const QItemSelection& deselected) {
            for (const QModelIndex& index : deselected.indexes())
              if (index.column() == 0) PlaceExtEditor(index.row(), false);
            for (const QModelIndex& index : selected.indexes())
              if (index.column() == 0) PlaceExtEditor(index.row(), true);
          });
  const auto follow = [this] { PlaceExtEditor(SelectedTypeRow(), true); };
  connect(ListView1, &TKelListView::OnEndColumnResize, this, follow);
  connect(ListView1, &TKelListView::OnHScroll, this, follow);
  connect(EditFileExt, &QLineEdit::textEdited, this,
          [this](const QString& text) { EditFileExtChange(text); });
  FillTypeList();
  EditFileExt->raise();
}

void TFmOption::BuildSpecialPage() {
  GBoxPDF = new QGroupBox(tr("PDF"), TabSheet3);
  Label9 = new QLabel(tr("Text output order"), GBoxPDF);
  CMBTextOrder = new QComboBox(GBoxPDF);
  CMBTextOrder->addItems({tr("Default reading order"),
                          tr("Maintain original layout"),
                          tr("Keep raw order")});
  CBPageBreak = new QCheckBox(tr("Insert page break"), GBoxPDF);
  Label9->setBuddy(CMBTextOrder);
  auto* pdf = new QVBoxLayout(GBoxPDF);
  pdf->addWidget(Label9);
  pdf->addWidget(CMBTextOrder);
  pdf->addWidget(CBPageBreak);
  GBoxDOC = new QGroupBox(tr("DOC"), TabSheet3);
  CBKeepRaw = new QCheckBox(tr("Keep raw characters"), GBoxDOC);
  auto* doc = new QVBoxLayout(GBoxDOC);
  doc->addWidget(CBKeepRaw);
  auto* page = new QVBoxLayout(TabSheet3);
  page->addWidget(GBoxPDF);
  page->addWidget(GBoxDOC);
  page->addStretch(1);
}

void TFmOption::FillTypeList() {
  ListView1->clearContents();
  ListView1->setRowCount(kFileTypeCount);
  for (int n = 1; n <= kFileTypeCount; ++n) {
    const FileType& type = FileTypeRow(n);
    const QString cells[] = {Q(type.TypeTag), Q(type.Description), Q(type.DefaultMask), {}};
    for (int c = 0; c < 4; ++c) ListView1->setItem(n - 1, c, new QTableWidgetItem(cells[c]));
  }
}

void TFmOption::FillControls() {
  const Settings& s = FGlobal.settings;
  EditTargetDir->setText(Q(s.targetDir));
  CBSameDir->setChecked(s.targetBesideSource);
  ApplySameDirRule();
  ComBFileOverTp->setCurrentIndex(s.overwritePolicy < ComBFileOverTp->count() ? s.overwritePolicy : -1);

  const QString codeText = QString::fromStdString(CodePageDisplayText(s.codePage));
  ComBSourceCode->setCurrentIndex(ComBSourceCode->findText(codeText, Qt::MatchExactly));
  ComBSourceCode->setEditText(codeText);
  ComBTextForm->setCurrentIndex(s.textForm >= 0 && s.textForm < ComBTextForm->count() ? s.textForm : 0);

  ListView1->item(0, kUserMaskColumn)->setText(Q(s.userMasks1));
  ListView1->item(1, kUserMaskColumn)->setText(Q(s.userMasks2));

  CMBTextOrder->setCurrentIndex(s.textOrder >= 0 && s.textOrder < CMBTextOrder->count()
                                    ? s.textOrder
                                    : -1);
  CBPageBreak->setChecked(s.pageBreak);
  CBKeepRaw->setChecked(s.keepRaw == 1);
}

void TFmOption::ApplySameDirRule() {
  const bool own = !CBSameDir->isChecked();
  EditTargetDir->setEnabled(own);
  BtnDir->setEnabled(own);
}

void TFmOption::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;  // back from being minimised: keep the edits
  PageControl1->setCurrentIndex(0);
  FillControls();
  CBSameDir->setFocus();
}

void TFmOption::BtnOKClick() {
  Settings& s = FGlobal.settings;
  s.targetDir = WithTrailingSeparator(EditTargetDir->text().toStdU16String());
  s.targetBesideSource = CBSameDir->isChecked();
  s.overwritePolicy = static_cast<uint8_t>(ComBFileOverTp->currentIndex());  // none gives 255

  const auto codePage = ParseCodePageText(ComBSourceCode->currentText().toStdString());
  if (!codePage) {
    ShowErrorMessage(this, tr("Code page identifier must be numeric!"));
    ComBSourceCode->setFocus();
    return;
  }
  s.codePage = *codePage;
  s.textForm = ComBTextForm->currentIndex() < 0 ? kTextFormSlides : ComBTextForm->currentIndex();

  s.userMasks1 = ListView1->item(0, kUserMaskColumn)->text().toStdU16String();
  s.userMasks2 = ListView1->item(1, kUserMaskColumn)->text().toStdU16String();
  FGlobal.RebuildMaskList();

  s.textOrder = CMBTextOrder->currentIndex();
  s.pageBreak = CBPageBreak->isChecked();
  s.keepRaw = CBKeepRaw->isChecked() ? 1 : 0;
  accept();
}

void TFmOption::BtnCancelClick() {
  FillControls();
  QDialog::reject();
}

// The title-bar button discards the edits like Cancel.
void TFmOption::reject() { BtnCancelClick(); }

void TFmOption::BtnDirClick() {
  QString folder = EditTargetDir->text();
  if (BrowseForFolder(this, tr("Select target directory"), QString(), folder) &&
      !folder.isEmpty()) {
    EditTargetDir->setText(folder);
  }
}

void TFmOption::BtnHelpClick() { ShowHelp(this, QString::fromLatin1(kHelpOptions)); }

int TFmOption::SelectedTypeRow() const {
  const QModelIndexList rows = ListView1->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.front().row();
}

void TFmOption::PlaceExtEditor(int row, bool selected) {
  if (!ListView1->isVisible()) return;
  if (!selected || row < 0 || row >= ListView1->rowCount()) {
    EditFileExt->hide();
    return;
  }
  QTableWidgetItem* cell = ListView1->item(row, kUserMaskColumn);
  EditFileExt->setGeometry(ListView1->visualItemRect(cell));
  EditFileExt->setText(cell->text());
  EditFileExt->show();
  EditFileExt->raise();
}

void TFmOption::EditFileExtChange(const QString& text) {
  const int row = SelectedTypeRow();
  if (row >= 0) ListView1->item(row, kUserMaskColumn)->setText(text);
}

}  // namespace dkscr
