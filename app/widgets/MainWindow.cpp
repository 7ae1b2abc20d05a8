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
#include "app/session/FileNames.h"
#include "app/session/FileProbe.h"
#include "app/widgets/AppImages.h"
#include "app/widgets/CommandTable.h"
#include "app/widgets/DesktopPaths.h"
#include "app/widgets/DesktopServices.h"
#include "app/widgets/FileFilters.h"
#include "app/widgets/FileTableModel.h"
#include "app/widgets/MainDialogs.h"
#include "app/widgets/MainWindowUi.h"

namespace dkscr {

namespace {
QString Q(std::u16string_view text) { return QString::fromUtf16(text.data(), qsizetype(text.size())); }
}  // namespace

MainWindow::MainWindow(Session& session, MainDialogs& dialogs, DesktopServices& desktop,
                       TargetConverter& converter, const JobFileStart& jobFile, QWidget* parent)
    : QMainWindow(parent), session_(session), dialogs_(dialogs), desktop_(desktop),
      run_(worker_, converter), scan_(worker_) {
  model_ = new FileTableModel(session_, MakeStateIcons(), this);
  ui_ = std::make_unique<MainWindowUi>(*this, *model_);
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
    if (!programSelects_ && !Scanning()) selectionTimer_->start(50);
  });
  ui_->Place(session_.State().windowPlacement);
  // The whole window takes dropped files; the window previews every key press.
  setAcceptDrops(true);
  qApp->installEventFilter(this);
  dialogs_.Create(this);
  ShowFileCount();
  if (jobFile.Problem()) TellJobFileProblem(jobFile);
}

MainWindow::~MainWindow() {
  qApp->removeEventFilter(this);
  RememberPlacement();
}

void MainWindow::TellJobFileProblem(const JobFileStart& jobFile) {
  const QString job = Q(session_.State().JobFilePath());
  const QString why = jobFile.status == JobFileLoadStatus::Damaged      ? tr("it is damaged")
                      : jobFile.status == JobFileLoadStatus::UnknownTag ? tr("it is not a list file")
                                                                        : tr("it cannot be read");
  const QString text =
      jobFile.backup.empty()
          ? tr("The saved file list %1 could not be loaded completely (%2) and could not be kept "
               "aside (%3). It will not be replaced when the program ends.")
                .arg(job, why, QString::fromLocal8Bit(std::strerror(jobFile.backupError)))
          : tr("The saved file list %1 could not be loaded completely (%2). It was kept as %3.")
                .arg(job, why, Q(jobFile.backup));
  ShowStatusMessage(text);
  session_.Log(text.toStdU16String());
  session_.TakeLogFailure();  // the log's own trouble is told when it is next written
  // After the window has appeared, not in the middle of building it.
  QTimer::singleShot(0, this, [this, text] { dialogs_.ShowError(text); });
}

void MainWindow::RememberPlacement() {
  if (isVisible() || wasShown_) ui_->Remember(session_.State().windowPlacement);
}

// ---- commands -------------------------------------------------------------------------------

QAction* MainWindow::ActionOfTag(int tag) const { return ui_->Action(tag); }
QTableView* MainWindow::FileTable() const { return ui_->fileTable; }
QMenu* MainWindow::ContextMenu() const { return ui_->contextMenu; }

QToolButton* MainWindow::Button(const std::string& name) const {
  const auto it = ui_->buttons.find(name);
  return it == ui_->buttons.end() ? nullptr : it->second;
}

void MainWindow::RunCommand(int tag) {
  // A run or a scan works through the list: nothing may change it meanwhile.
  if (Busy() && ChangesListOrConverts(tag)) return;
  switch (tag) {
    case kTagOptions: dialogs_.ShowOptions(); break;
    case kTagExit: close(); break;
    case kTagViewLog: dialogs_.ShowLog(); break;
    case kTagAddFile: ChooseAndAddFiles(); break;
    case kTagAddDir: AddFolders(); break;
    case kTagPasteFile: PasteFiles(); break;
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
}

void MainWindow::UpdateCommandStates() {
  std::vector<EntryFacts> facts;
  facts.reserve(size_t(session_.Count()));
  for (const Entry& e : session_.Entries()) facts.push_back({int32_t(e.state), false});
  for (int row : SelectedRows()) facts[size_t(row)].selected = true;
  const CommandEnabling enabling = EvaluateEnabling(facts, !desktop_.ClipboardFiles().empty());
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

// ---- adding ---------------------------------------------------------------------------------

void MainWindow::AddFile(const std::u16string& path) { AddPaths({path}, false); }

void MainWindow::AddPaths(const std::vector<std::u16string>& paths, bool replaceSelection) {
  if (replaceSelection) ClearSelection();
  const int firstRow = session_.Count();
  const std::vector<AddOutcome> outcomes = session_.AddFiles(paths);
  for (size_t i = 0; i < outcomes.size(); ++i) {
    if (outcomes[i] == AddOutcome::kAlreadyAdded)
      ShowStatusMessage(tr("File [%1] already added!").arg(Q(paths[i])));
    else if (outcomes[i] == AddOutcome::kNotSupported)
      ShowStatusMessage(tr("File [%1] type not support!").arg(Q(paths[i])));
  }
  SelectAddedRows(firstRow);
  ShowFileCount();
  ReportLogFailure();
}

void MainWindow::SelectAddedRows(int firstRow) {
  // The rows added are the last ones: nothing sorts or removes while adding. One range, so
  // that later selection work does not walk a range per row.
  const int last = session_.Count() - 1;
  if (firstRow > last) return;
  programSelects_ = true;
  QItemSelectionModel* sel = ui_->fileTable->selectionModel();
  sel->select(QItemSelection(model_->index(firstRow, 0), model_->index(last, kColumnCount - 1)),
              QItemSelectionModel::Select | QItemSelectionModel::Rows);
  sel->setCurrentIndex(model_->index(last, 0), QItemSelectionModel::NoUpdate);
  programSelects_ = false;
  ui_->fileTable->scrollTo(sel->currentIndex());
}

void MainWindow::ClearSelection() {
  programSelects_ = true;
  ui_->fileTable->selectionModel()->clearSelection();
  programSelects_ = false;
}

void MainWindow::ChooseAndAddFiles() {
  const QStringList files =
      desktop_.ChooseFiles(this, QtNameFilters(BuildOpenFilter(session_.State())));
  if (files.isEmpty()) return;
  std::vector<std::u16string> paths;
  for (const QString& f : files) paths.push_back(PathFromDialogName(f));
  AddPaths(paths, true);
}

void MainWindow::PasteFiles() { AddPaths(desktop_.ClipboardFiles(), false); }

void MainWindow::AddDroppedItems(const std::vector<std::u16string>& items) {
  if (Busy()) return;
  activateWindow();
  raise();
  if (items.size() == 1 && IsDirectory(items[0])) {
    ClearSelection();
    dialogs_.SetAddFolderText(Q(items[0]));
    RunCommand(kTagAddDir);
    return;
  }
  // Several items: the folders among them are left out.
  std::vector<std::u16string> files;
  for (const std::u16string& item : items)
    if (items.size() == 1 || !IsDirectory(item)) files.push_back(item);
  AddPaths(files, true);
}

void MainWindow::AddFolders() {
  if (!dialogs_.RunAddFolder()) return;
  const Settings& s = session_.State().settings;
  ScanRequest request{SplitScanFolders(s.scanFolders),
                      BuildScanMasks(s, dialogs_.AddFolderTypeTicked(1), dialogs_.AddFolderTypeTicked(2)),
                      dialogs_.AddFolderRecursive()};
  ClearSelection();
  scanFirstRow_ = session_.Count();
  dialogs_.ShowScanProgress([this] { scan_.Stop(); });
  scan_.Start(session_, std::move(request), *this);
  UpdateCommandStates();
}

void MainWindow::FolderEntered(const std::u16string& folder) { dialogs_.SetScanFolder(Q(folder)); }

void MainWindow::Finished(const ScanSummary& summary) {
  lastScan_ = summary;
  dialogs_.CloseScanProgress();
  SelectAddedRows(scanFirstRow_);
  ShowFileCount();
  ShowStatusMessage(tr("Done Scanning, add %1 file(s).").arg(summary.added));
  UpdateCommandStates();
  emit ScanFinished();
  ReportLogFailure();
}

// ---- the list -------------------------------------------------------------------------------

void MainWindow::DeleteSelected() {
  session_.RemoveRows(SelectedRows());
  ShowFileCount();
}

std::vector<int> MainWindow::SelectedRows() const { return ui_->SelectedRows(session_.Count()); }

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
  if (rows.empty()) return;
  const Entry& entry = session_.At(rows.front());
  const std::u16string path = useSource ? entry.source : entry.target;
  if (path.empty()) return;
  // With no program to open it (nothing installed for the type, no file manager), the user
  // hears of it instead of nothing happening.
  if (launch) {
    if (!desktop_.OpenUrl(UrlOfPath(path)))
      dialogs_.ShowError(tr("No program could be started to open %1").arg(Q(path)));
    return;
  }
  if (FileExists(path) && desktop_.ShowItem(UrlOfPath(path))) return;
  const std::u16string folder(FolderPart(path));
  if (!desktop_.OpenUrl(UrlOfPath(folder)))
    dialogs_.ShowError(tr("No file manager could be started to show %1").arg(Q(folder)));
}

// ---- the run --------------------------------------------------------------------------------

void MainWindow::ConvertFiles(RunScope scope) {
  if (Busy()) return;
  RunObserver& observer = *this;
  auto run = std::make_unique<SessionRun>(session_, scope, SelectedRows(), observer);
  if (run_.Start(std::move(run))) UpdateCommandStates();
}

void MainWindow::Progress(const RunProgress& progress) {
  dialogs_.ShowRunProgress(progress, [this] { run_.Cancel(); });
}

OverwriteAnswer MainWindow::AskOverwrite(const std::u16string& target) {
  return dialogs_.AskOverwrite(Q(target));
}

bool MainWindow::Cancelled() { return run_.CancelRequested(); }

void MainWindow::Finished(const RunSummary&) {
  dialogs_.CloseRunProgress();
  UpdateCommandStates();
  emit RunFinished();
  ReportLogFailure();
  if (std::exchange(closeAfterRun_, false)) QTimer::singleShot(0, this, &QWidget::close);
}

void MainWindow::ReportLogFailure() {
  // The error's own text names the log and the reason.
  const std::string failure = session_.TakeLogFailure();
  if (!failure.empty()) dialogs_.ShowError(QString::fromLocal8Bit(failure));
}

// ---- status bar -----------------------------------------------------------------------------

void MainWindow::ShowStatusMessage(const QString& text) { ui_->panels[2]->setText(text); }

QString MainWindow::StatusPanel(int panel) const {
  return (panel >= 0 && panel < 3) ? ui_->panels[size_t(panel)]->text() : QString();
}

void MainWindow::ShowFileCount() { ui_->panels[1]->setText(tr("%1 File(s)").arg(session_.Count())); }

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
  if (e->type() == QEvent::KeyPress && watched->isWidgetType()) {
    // Keys typed into menus or other windows are theirs.
    if (static_cast<QWidget*>(watched)->window() == this && QApplication::activePopupWidget() == nullptr) {
      auto* key = static_cast<QKeyEvent*>(e);
      if (HandleShortcut(key->key(), key->modifiers())) return true;
    }
  }
  return QMainWindow::eventFilter(watched, e);
}

void MainWindow::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  ui_->KeepConvertButtonRight();
}

void MainWindow::closeEvent(QCloseEvent* e) {
  // During a run the entry in hand is finished first; the window closes when the run ends.
  if (Converting()) {
    run_.Cancel();
    closeAfterRun_ = true;
    e->ignore();
    return;
  }
  scan_.Stop();  // what it found so far stays in the list
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
