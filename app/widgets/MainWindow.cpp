#include "app/widgets/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QStatusTipEvent>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <cstring>
#include <utility>

#include "app/session/AppState.h"
#include "app/session/FileProbe.h"
#include "app/widgets/AddCommands.h"
#include "app/widgets/AppImages.h"
#include "app/widgets/CommandTable.h"
#include "app/widgets/ConvertCommand.h"
#include "app/widgets/DesktopServices.h"
#include "app/widgets/EntryFiles.h"
#include "app/widgets/FileTableModel.h"
#include "app/widgets/MainDialogs.h"
#include "app/widgets/MainWindowUi.h"
#include "app/widgets/PreviewPane.h"

namespace dkscr {

MainWindow::MainWindow(Session& session, MainDialogs& dialogs, DesktopServices& desktop,
                       TargetConverter& converter, const JobFileStart& jobFile, QWidget* parent)
    : QMainWindow(parent), session_(session), dialogs_(dialogs), desktop_(desktop) {
  model_ = new FileTableModel(session_, MakeStateIcons(), this);
  ui_ = std::make_unique<MainWindowUi>(*this, *model_);
  convert_ = std::make_unique<ConvertCommand>(session_, dialogs_, worker_, converter);
  add_ = std::make_unique<AddCommands>(session_, *ui_, dialogs_, desktop_, worker_, *this);
  connect(convert_.get(), &ConvertCommand::RunEnded, this, &MainWindow::RunEnded);
  connect(convert_.get(), &ConvertCommand::Progressed, this,
          [this](int percent) { ui_->ShowRunPercent(percent); });
  connect(add_.get(), &AddCommands::ScanFinished, this, [this] {
    UpdateCommandStates();
    emit ScanFinished();
    if (!pendingPaths_.empty()) AddFromCommandLine(std::exchange(pendingPaths_, {}));
  });
  for (auto& [tag, action] : ui_->actions)
    connect(action, &QAction::triggered, this, [this, tag = tag] { RunCommand(tag); });
  for (auto& [name, button] : ui_->buttons)
    connect(button, &QToolButton::clicked, this,
            [this, tag = button->property(kTagProperty).toInt()] { RunCommand(tag); });
  for (QMenu* menu : ui_->topMenus)
    connect(menu, &QMenu::aboutToShow, this, &MainWindow::UpdateCommandStates);
  connect(ui_->fileTable, &QWidget::customContextMenuRequested, this, &MainWindow::ShowContextMenu);
  connect(ui_->fileTable->horizontalHeader(), &QHeaderView::sectionClicked, this,
          &MainWindow::SortByColumn);
  // A burst of selection changes by the user gives one count, 50 ms after the last; adding
  // selects what it added and says so itself.
  selectionTimer_ = new QTimer(this);
  selectionTimer_->setSingleShot(true);
  selectionTimer_->callOnTimeout(this, &MainWindow::ShowSelectionCount);
  connect(ui_->fileTable->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    if (!ui_->ProgramSelects() && !Scanning()) selectionTimer_->start(50);
  });
  // The preview follows the entry the user is on, and that entry's outcome.
  connect(ui_->fileTable->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          &MainWindow::UpdatePreview);
  connect(model_, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex& first, const QModelIndex& last) {
            const int row = ui_->fileTable->currentIndex().row();
            if (row >= first.row() && row <= last.row()) UpdatePreview();
          });
  connect(model_, &QAbstractItemModel::modelReset, this, &MainWindow::UpdatePreview);
  // Enter or a double click opens the entry's text file.
  connect(ui_->fileTable, &QAbstractItemView::activated, this, &MainWindow::OpenActivatedEntry);
  const WindowPlacement& placement = session_.State().windowPlacement;
  ui_->Place(placement);
  if (placement.sortColumn >= 0 && placement.sortColumn < kColumnCount)
    session_.Sort(placement.sortColumn, placement.sortAscending);
  // The whole window takes dropped files; the window previews every key press.
  setAcceptDrops(true);
  qApp->installEventFilter(this);
  dialogs_.Create(this);
  ui_->ShowFileCount(session_.Count());
  if (jobFile.inUseElsewhere) {
    ShowStatusMessage(tr("Another Deckscribe window keeps the file list %1: this window starts "
                         "with an empty list and does not save it.")
                          .arg(QString::fromStdU16String(session_.State().JobFilePath())));
  }
  if (jobFile.Problem()) TellJobFileProblem(jobFile);
}

MainWindow::~MainWindow() {
  qApp->removeEventFilter(this);
  RememberPlacement();
}

void MainWindow::TellJobFileProblem(const JobFileStart& jobFile) {
  const QString job = QString::fromStdU16String(session_.State().JobFilePath());
  const QString why = jobFile.status == JobFileLoadStatus::Damaged      ? tr("it is damaged")
                      : jobFile.status == JobFileLoadStatus::UnknownTag ? tr("it is not a list file")
                                                                        : tr("it cannot be read");
  const QString text =
      jobFile.backup.empty()
          ? tr("The saved file list %1 could not be loaded completely (%2) and could not be kept "
               "aside (%3). It will not be replaced when the program ends.")
                .arg(job, why, QString::fromLocal8Bit(std::strerror(jobFile.backupError)))
          : tr("The saved file list %1 could not be loaded completely (%2). It was kept as %3.")
                .arg(job, why, QString::fromStdU16String(jobFile.backup));
  ShowStatusMessage(text);
  session_.Log(text.toStdU16String());
  session_.TakeLogFailure();  // the log's own trouble is told when it is next written
  // After the window has appeared, not in the middle of building it.
  QTimer::singleShot(0, this, [this, text] { dialogs_.ShowError(text); });
}

void MainWindow::RememberPlacement() {
  if (!isVisible() && !wasShown_) return;
  WindowPlacement& placement = session_.State().windowPlacement;
  ui_->Remember(placement);
  placement.sortColumn = session_.SortColumn();
  placement.sortAscending = session_.SortAscending();
}

QAction* MainWindow::ActionOfTag(int tag) const { return ui_->Action(tag); }
QTableView* MainWindow::FileTable() const { return ui_->fileTable; }
QMenu* MainWindow::ContextMenu() const { return ui_->contextMenu; }
PreviewPane* MainWindow::Preview() const { return ui_->preview; }
bool MainWindow::Converting() const { return convert_->Running(); }
bool MainWindow::Scanning() const { return add_->Scanning(); }
const ScanSummary& MainWindow::LastScan() const { return add_->LastScan(); }
std::vector<int> MainWindow::SelectedRows() const { return ui_->SelectedRows(session_.Count()); }

QToolButton* MainWindow::Button(const std::string& name) const {
  const auto it = ui_->buttons.find(name);
  return it == ui_->buttons.end() ? nullptr : it->second;
}

// ---- commands -------------------------------------------------------------------------------

void MainWindow::RunCommand(int tag) {
  // A run or a scan works through the list: nothing may change it meanwhile.
  if (Busy() && ChangesListOrConverts(tag)) return;
  switch (tag) {
    case kTagOptions: ShowOptions(); break;
    case kTagExit: close(); break;
    case kTagViewLog: dialogs_.ShowLog(); break;
    case kTagAddFile: add_->ChooseFiles(); break;
    case kTagAddDir: add_->AddFolders(); break;
    case kTagPasteFile: add_->Paste(); break;
    case kTagDelete: DeleteSelected(); break;
    case kTagSelectAll: ui_->fileTable->selectAll(); break;
    case kTagConvertAll: ConvertFiles(RunScope::kAll); break;
    case kTagConvertSelect: ConvertFiles(RunScope::kSelected); break;
    case kTagReConvert: ConvertFiles(RunScope::kReconvert); break;
    case kTagLaunchSource: OpenEntryFile(true, true); break;
    case kTagLaunchTarget: OpenEntryFile(false, true); break;
    case kTagExploreSource: OpenEntryFile(true, false); break;
    case kTagExploreTarget: OpenEntryFile(false, false); break;
    case kTagContents: dialogs_.ShowHelp(); break;
    case kTagAbout: dialogs_.ShowAbout(); break;
    default: break;
  }
  if (Busy()) UpdateCommandStates();  // a run or a scan started
}

void MainWindow::UpdateCommandStates() {
  std::vector<EntryFacts> facts;
  facts.reserve(size_t(session_.Count()));
  for (const Entry& e : session_.Entries()) facts.push_back({int32_t(e.state), false});
  for (int row : SelectedRows()) facts[size_t(row)].selected = true;
  CommandEnabling enabling = EvaluateEnabling(facts, !desktop_.ClipboardFiles().empty());
  // Launch and Explore Target act on the first selected entry: only once its text exists.
  const std::vector<int> selected = SelectedRows();
  enabling.targetExists = !selected.empty() && FileExists(session_.At(selected.front()).target);
  for (auto& [tag, action] : ui_->actions)
    action->setEnabled(IsCommandEnabled(enabling, tag) && !(Busy() && ChangesListOrConverts(tag)));
}

bool MainWindow::HandleShortcut(int qtKey, Qt::KeyboardModifiers modifiers) {
  const int tag = CommandForKey(qtKey, modifiers.testFlag(Qt::ControlModifier),
                                modifiers.testFlag(Qt::AltModifier));
  if (tag != 0) RunCommand(tag);
  return tag != 0;
}

void MainWindow::ShowContextMenu(const QPoint& pos) {
  if (dialogs_.ScanProgressVisible() || dialogs_.RunProgressVisible()) return;
  UpdateCommandStates();
  ui_->contextMenu->popup(ui_->fileTable->viewport()->mapToGlobal(pos));
}

void MainWindow::ShowOptions() {
  if (!dialogs_.ShowOptions()) return;
  // The target column follows the options; a run in progress sets its own targets as it goes
  // and the rest after it.
  if (Converting()) {
    retargetAfterRun_ = true;
  } else {
    session_.RetargetEntries();
  }
}

void MainWindow::AddFile(const std::u16string& path) { add_->AddPaths({path}, false); }

void MainWindow::AddFromCommandLine(const std::vector<std::u16string>& paths) {
  // A run or a scan walks the list as it was: the paths wait for its end.
  if (Busy()) {
    pendingPaths_.insert(pendingPaths_.end(), paths.begin(), paths.end());
    return;
  }
  std::vector<std::u16string> files;
  std::vector<std::u16string> folders;
  for (const std::u16string& path : paths) {
    // A path that cannot be examined is offered as a file: adding it says what is wrong.
    const bool folder = PathExists(path) && IsDirectory(path);
    (folder ? folders : files).push_back(path);
  }
  if (!files.empty()) add_->AddPaths(files, true);
  add_->ScanFolders(folders);
}

void MainWindow::AddDroppedItems(const std::vector<std::u16string>& items) {
  if (!Busy()) add_->AddDropped(items);
}

void MainWindow::DeleteSelected() {
  session_.RemoveRows(SelectedRows());
  ui_->ShowFileCount(session_.Count());
}

void MainWindow::SortByColumn(int column) {
  if (Busy()) return;  // the run or the scan works through the rows as they are
  session_.SortByColumn(column);
  const std::vector<int> rows = SelectedRows();
  if (!rows.empty()) ui_->fileTable->scrollTo(model_->index(rows.front(), 0));
}

void MainWindow::ShowSelectionCount() {
  ShowStatusMessage(tr("Select %1 file(s).").arg(SelectedRows().size()));
}

void MainWindow::OpenEntryFile(bool useSource, bool launch) {
  const std::vector<int> rows = SelectedRows();
  if (!rows.empty()) dkscr::OpenEntryFile(session_.At(rows.front()), useSource, launch, desktop_, dialogs_);
}

void MainWindow::ConvertFiles(RunScope scope) {
  if (Busy()) return;
  const std::vector<int> rows = SelectedRows();
  if (const QString nothing = convert_->NothingToConvert(scope, rows); !nothing.isEmpty()) {
    ShowStatusMessage(nothing);
    return;
  }
  convert_->Start(scope, rows);
}

void MainWindow::UpdatePreview() {
  const int row = ui_->fileTable->currentIndex().row();
  ui_->preview->ShowEntry(row >= 0 && row < session_.Count() ? &session_.At(row) : nullptr,
                          session_.State().settings.codePage);
}

void MainWindow::OpenActivatedEntry(const QModelIndex& index) {
  if (!index.isValid() || index.row() >= session_.Count()) return;
  const Entry& entry = session_.At(index.row());
  if (FileExists(entry.target)) {
    dkscr::OpenEntryFile(entry, false, true, desktop_, dialogs_);
  } else {
    ShowStatusMessage(tr("%1 does not exist yet: convert the entry first.")
                          .arg(QString::fromStdU16String(entry.target)));
  }
}

void MainWindow::RunEnded(const RunSummary& summary) {
  ui_->ShowRunPercent(-1);
  if (std::exchange(retargetAfterRun_, false)) session_.RetargetEntries();
  QStringList parts;
  parts << (summary.withoutText > 0
                ? tr("%1 converted (%2 without text)").arg(summary.succeeded).arg(summary.withoutText)
                : tr("%1 converted").arg(summary.succeeded));
  parts << tr("%1 failed").arg(summary.failed);
  if (summary.skipped > 0) parts << tr("%1 skipped").arg(summary.skipped);
  QString totals = parts.join(QStringLiteral(", "));
  if (!summary.unwritableFolder.empty()) {
    const QString why = tr("The run stopped: the target folder %1 cannot be written (%2).")
                            .arg(QString::fromStdU16String(summary.unwritableFolder),
                                 QString::fromStdU16String(summary.unwritableReason));
    ShowStatusMessage(why + QLatin1Char(' ') + totals);
    dialogs_.ShowError(why);
  } else if (summary.cancelled) {
    ShowStatusMessage(tr("Cancelled after %1 file(s): %2").arg(summary.Handled()).arg(totals));
  } else {
    ShowStatusMessage(totals);
  }
  UpdateCommandStates();
  UpdatePreview();
  emit RunFinished();
  if (!pendingPaths_.empty()) AddFromCommandLine(std::exchange(pendingPaths_, {}));
  if (std::exchange(closeAfterRun_, false)) QTimer::singleShot(0, this, &QWidget::close);
}

void MainWindow::ShowStatusMessage(const QString& text) { ui_->ShowStatus(text); }

QString MainWindow::StatusPanel(int panel) const {
  return (panel >= 0 && panel < 3) ? ui_->panels[size_t(panel)]->text() : QString();
}

// ---- window events --------------------------------------------------------------------------

bool MainWindow::event(QEvent* e) {
  if (e->type() == QEvent::Show) wasShown_ = true;
  if (e->type() == QEvent::StatusTip) {
    // The hint of the highlighted menu item or the button under the mouse goes to panel 2.
    ShowStatusMessage(static_cast<QStatusTipEvent*>(e)->tip());
    return true;
  }
  if (e->type() == QEvent::WindowActivate &&
      (dialogs_.ScanProgressVisible() || dialogs_.RunProgressVisible()))
    dialogs_.RaiseProgress();
  return QMainWindow::event(e);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
  // The bar has its new width only once the layout has run.
  if (watched == ui_->buttonBar && e->type() == QEvent::Resize) ui_->KeepConvertButtonRight();
  // Keys typed into menus or other windows are theirs.
  if (e->type() == QEvent::KeyPress && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == this && QApplication::activePopupWidget() == nullptr) {
    auto* key = static_cast<QKeyEvent*>(e);
    if (HandleShortcut(key->key(), key->modifiers())) return true;
  }
  return QMainWindow::eventFilter(watched, e);
}

void MainWindow::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  ui_->KeepConvertButtonRight();
}

void MainWindow::closeEvent(QCloseEvent* e) {
  // During a run the entry in hand is finished or given up first; the window closes then.
  if (Converting()) {
    convert_->Cancel();
    closeAfterRun_ = true;
    e->ignore();
    return;
  }
  RememberPlacement();
  QMainWindow::closeEvent(e);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* e) {
  if (desktop_.DroppedFiles(e->mimeData()).empty()) return;
  e->setDropAction(Qt::CopyAction);
  e->accept();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* e) {
  e->setDropAction(Qt::CopyAction);
  e->accept();
}

void MainWindow::dropEvent(QDropEvent* e) {
  std::vector<std::u16string> items = desktop_.DroppedFiles(e->mimeData());
  if (items.empty()) return;
  e->setDropAction(Qt::CopyAction);
  e->accept();
  // The drag source waits for this event to return; a dialog opened by the drop comes after.
  QTimer::singleShot(0, this, [this, items = std::move(items)] { AddDroppedItems(items); });
}

}  // namespace dkscr
