#include "app/widgets/AddCommands.h"

#include <QString>
#include <QWidget>

#include "app/session/AppState.h"
#include "app/session/FileProbe.h"
#include "app/session/Session.h"
#include "app/widgets/DesktopPaths.h"
#include "app/widgets/DesktopServices.h"
#include "app/widgets/FileFilters.h"
#include "app/widgets/MainDialogs.h"
#include "app/widgets/MainWindowUi.h"

namespace dkscr {

namespace {
QString Q(std::u16string_view text) { return QString::fromUtf16(text.data(), qsizetype(text.size())); }
}  // namespace

void ReportLogFailure(Session& session, MainDialogs& dialogs) {
  // The error's own text names the log and the reason.
  const std::string failure = session.TakeLogFailure();
  if (!failure.empty()) dialogs.ShowError(QString::fromLocal8Bit(failure));
}

AddCommands::AddCommands(Session& session, MainWindowUi& ui, MainDialogs& dialogs,
                         DesktopServices& desktop, WorkerThread& worker, QWidget& window)
    : session_(session), ui_(ui), dialogs_(dialogs), desktop_(desktop), window_(window),
      scan_(worker) {}

void AddCommands::AddPaths(const std::vector<std::u16string>& paths, bool replaceSelection) {
  if (replaceSelection) ui_.ClearSelection();
  const int firstRow = session_.Count();
  const std::vector<AddOutcome> outcomes = session_.AddFiles(paths);
  for (size_t i = 0; i < outcomes.size(); ++i) {
    if (outcomes[i] == AddOutcome::kAlreadyAdded)
      ui_.ShowStatus(WindowText(QT_TRANSLATE_NOOP("dkscr::MainWindow", "File [%1] already added!")).arg(Q(paths[i])));
    else if (outcomes[i] == AddOutcome::kNotSupported)
      ui_.ShowStatus(WindowText(QT_TRANSLATE_NOOP("dkscr::MainWindow", "File [%1] type not support!")).arg(Q(paths[i])));
  }
  // The rows added are the last ones: nothing sorts or removes while adding.
  ui_.SelectRange(firstRow, session_.Count() - 1);
  ui_.ShowFileCount(session_.Count());
  ReportLogFailure(session_, dialogs_);
}

void AddCommands::ChooseFiles() {
  const QStringList files =
      desktop_.ChooseFiles(&window_, QtNameFilters(BuildOpenFilter(session_.State())));
  if (files.isEmpty()) return;
  std::vector<std::u16string> paths;
  for (const QString& f : files) paths.push_back(PathFromDialogName(f));
  AddPaths(paths, true);
}

void AddCommands::Paste() { AddPaths(desktop_.ClipboardFiles(), false); }

void AddCommands::AddDropped(const std::vector<std::u16string>& items) {
  window_.activateWindow();
  window_.raise();
  if (items.size() == 1 && IsDirectory(items[0])) {
    ui_.ClearSelection();
    dialogs_.SetAddFolderText(Q(items[0]));
    AddFolders();
    return;
  }
  // Several items: the folders among them are left out.
  std::vector<std::u16string> files;
  for (const std::u16string& item : items)
    if (items.size() == 1 || !IsDirectory(item)) files.push_back(item);
  AddPaths(files, true);
}

void AddCommands::AddFolders() {
  if (Scanning() || !dialogs_.RunAddFolder()) return;
  const Settings& s = session_.State().settings;
  StartScan({SplitScanFolders(s.scanFolders),
             BuildScanMasks(s, dialogs_.AddFolderTypeTicked(1), dialogs_.AddFolderTypeTicked(2)),
             dialogs_.AddFolderRecursive()});
}

void AddCommands::ScanFolders(const std::vector<std::u16string>& folders) {
  if (Scanning() || folders.empty()) return;
  StartScan({folders, BuildScanMasks(session_.State().settings, true, true), true});
}

void AddCommands::StartScan(ScanRequest request) {
  ui_.ClearSelection();
  scanFirstRow_ = session_.Count();
  dialogs_.ShowScanProgress([this] { scan_.Stop(); });
  scan_.Start(session_, std::move(request), *this);
}

void AddCommands::FolderEntered(const std::u16string& folder) { dialogs_.SetScanFolder(Q(folder)); }

void AddCommands::Finished(const ScanSummary& summary) {
  lastScan_ = summary;
  dialogs_.CloseScanProgress();
  ui_.SelectRange(scanFirstRow_, session_.Count() - 1);
  ui_.ShowFileCount(session_.Count());
  ui_.ShowStatus(WindowText(QT_TRANSLATE_NOOP("dkscr::MainWindow", "Done Scanning, add %1 file(s)."))
                     .arg(summary.added));
  emit ScanFinished();
  ReportLogFailure(session_, dialogs_);
}

}  // namespace dkscr
