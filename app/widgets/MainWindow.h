#pragma once
// The main window: a view of the session's list that maps the user's commands to session
// calls and dialogs; conversions and folder scans run on its worker thread meanwhile.
#include <QMainWindow>
#include <memory>
#include <string>
#include <vector>

#include "app/session/Session.h"
#include "app/session/WorkerThread.h"

class QAction;
class QMenu;
class QTableView;
class QTimer;
class QToolButton;

namespace dkscr {

class AddCommands;
class ConvertCommand;
class DesktopServices;
class FileTableModel;
class MainDialogs;
class MainWindowUi;
class PreviewPane;
class TargetConverter;
enum class RunScope;
struct RunSummary;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // Calls dialogs.Create(this); a problem the session met with the saved list is told once
  // the window is up, and a list another window keeps is said in the status bar.
  MainWindow(Session& session, MainDialogs& dialogs, DesktopServices& desktop,
             TargetConverter& converter, const JobFileStart& jobFile = {},
             QWidget* parent = nullptr);
  ~MainWindow() override;

  // Runs a command of the command table by its tag, as its menu item, button or key does.
  void RunCommand(int tag);
  QAction* ActionOfTag(int tag) const;
  QToolButton* Button(const std::string& name) const;
  QTableView* FileTable() const;
  QMenu* ContextMenu() const;
  PreviewPane* Preview() const;
  FileTableModel* Model() const { return model_; }

  // Adds one file (selected and current); a refusal is told in the status bar.
  void AddFile(const std::u16string& path);
  // One dropped folder opens the add-folder dialog; of several items only files are added.
  void AddDroppedItems(const std::vector<std::u16string>& items);
  // Files and folders named on the command line: the files are added, the folders scanned
  // with every file type and their sub-folders, as Add Dir would; after the run or the scan
  // in progress, if any.
  void AddFromCommandLine(const std::vector<std::u16string>& paths);
  // Starts a run over the list; it ends on its own (RunFinished). When the run would convert
  // nothing, the status bar says so and how to convert again instead.
  void ConvertFiles(RunScope scope);
  bool Converting() const;
  bool Scanning() const;
  const ScanSummary& LastScan() const;

  // Offers exactly the commands the list and the clipboard allow now.
  void UpdateCommandStates();
  // Handles a key press as the window previews keys; true when it ran a command.
  bool HandleShortcut(int qtKey, Qt::KeyboardModifiers modifiers);
  QString StatusPanel(int panel) const;
  void ShowStatusMessage(const QString& text);
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
  void TellJobFileProblem(const JobFileStart& jobFile);
  void ShowOptions();
  void DeleteSelected();
  void OpenEntryFile(bool useSource, bool launch);
  void SortByColumn(int column);
  void ShowContextMenu(const QPoint& pos);
  void ShowSelectionCount();
  void UpdatePreview();
  void OpenActivatedEntry(const QModelIndex& index);
  void RunEnded(const RunSummary& summary);
  bool Busy() const { return Converting() || Scanning(); }

  Session& session_;
  MainDialogs& dialogs_;
  DesktopServices& desktop_;
  WorkerThread worker_;  // made first, gone last: the commands below work on it
  FileTableModel* model_ = nullptr;
  std::unique_ptr<MainWindowUi> ui_;
  std::unique_ptr<ConvertCommand> convert_;
  std::unique_ptr<AddCommands> add_;
  QTimer* selectionTimer_ = nullptr;
  bool closeAfterRun_ = false;  // closing was asked for during a run
  bool retargetAfterRun_ = false;  // the options changed during a run
  std::vector<std::u16string> pendingPaths_;  // handed over while busy
  bool wasShown_ = false;
};

}  // namespace dkscr
