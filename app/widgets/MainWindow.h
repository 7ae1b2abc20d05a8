#pragma once
// The main window: a view of the session's list that maps the user's commands to session
// calls, opens the dialogs, and runs conversions and folder scans on the worker thread while
// it stays responsive.
#include <QMainWindow>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "app/session/BackgroundRun.h"
#include "app/session/BackgroundScan.h"
#include "app/session/Session.h"
#include "app/session/WorkerThread.h"

class QAction;
class QMenu;
class QTableView;
class QTimer;
class QToolButton;

namespace dkscr {

class DesktopServices;
class FileTableModel;
class MainDialogs;
class MainWindowUi;
class TargetConverter;

class MainWindow : public QMainWindow, private RunObserver, private ScanObserver {
  Q_OBJECT

 public:
  // The window calls dialogs.Create(this) as it is built; a problem with the saved list,
  // which the session met before, is told once the window is up.
  MainWindow(Session& session, MainDialogs& dialogs, DesktopServices& desktop,
             TargetConverter& converter, const JobFileStart& jobFile = {},
             QWidget* parent = nullptr);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Runs a command of the command table by its tag, as its menu item, button or key does.
  void RunCommand(int tag);
  QAction* ActionOfTag(int tag) const;
  QToolButton* Button(const std::string& name) const;
  QTableView* FileTable() const;
  QMenu* ContextMenu() const;
  FileTableModel* Model() const { return model_; }

  // Adds one file (selected and current when added); a refusal is told in the status bar.
  void AddFile(const std::u16string& path);
  // Items dropped on the window: one folder opens the add-folder dialog with it, files are
  // added, folders among several items are left out.
  void AddDroppedItems(const std::vector<std::u16string>& items);
  // Starts a run over the list; it ends on its own (RunFinished).
  void ConvertFiles(RunScope scope);
  bool Converting() const { return run_.Running(); }
  bool Scanning() const { return scan_.Running(); }
  const ScanSummary& LastScan() const { return lastScan_; }

  // Offers exactly the commands the list and the clipboard allow now.
  void UpdateCommandStates();
  // Handles a key press the way the window previews keys; true when it ran a command.
  bool HandleShortcut(int qtKey, Qt::KeyboardModifiers modifiers);
  QString StatusPanel(int panel) const;
  void ShowStatusMessage(const QString& text);
  // Shows the number of entries in status panel 1.
  void ShowFileCount();
  // The selected rows in ascending order.
  std::vector<int> SelectedRows() const;
  // Keeps the window's place for the settings file.
  void RememberPlacement();

 signals:
  void RunFinished();
  void ScanFinished();

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // The run, heard on this thread.
  void Progress(const RunProgress& progress) override;
  OverwriteAnswer AskOverwrite(const std::u16string& target) override;
  bool Cancelled() override;
  void Finished(const RunSummary& summary) override;
  // The folder scan, heard on this thread.
  void FolderEntered(const std::u16string& folder) override;
  void Finished(const ScanSummary& summary) override;

  void ChooseAndAddFiles();
  void AddFolders();
  void PasteFiles();
  void DeleteSelected();
  void OpenEntryFile(bool useSource, bool launch);
  void SortByColumn(int column);
  void ShowContextMenu(const QPoint& pos);
  void ShowSelectionCount();
  void TellJobFileProblem(const JobFileStart& jobFile);
  // Adds files as one operation: the earlier selection goes when `replaceSelection`, the
  // added rows are selected, and the last refusal is told.
  void AddPaths(const std::vector<std::u16string>& paths, bool replaceSelection);
  void SelectAddedRows(int firstRow);
  void ClearSelection();
  // Tells the user of a log failure met during the operation that just ended, once.
  void ReportLogFailure();
  bool Busy() const { return Converting() || Scanning(); }

  Session& session_;
  MainDialogs& dialogs_;
  DesktopServices& desktop_;
  WorkerThread worker_;  // first made, last gone: the background work below uses it
  BackgroundRun run_;
  BackgroundScan scan_;
  FileTableModel* model_ = nullptr;
  std::unique_ptr<MainWindowUi> ui_;
  QTimer* selectionTimer_ = nullptr;
  ScanSummary lastScan_;
  int scanFirstRow_ = 0;
  bool programSelects_ = false;  // the selection changes because of an add, not the user
  bool closeAfterRun_ = false;   // closing was asked for during a run
  bool wasShown_ = false;
};

}  // namespace dkscr
