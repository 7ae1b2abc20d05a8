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
class TargetConverter;
enum class RunScope;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // Calls dialogs.Create(this); a problem the session met with the saved list is told once
  // the window is up.
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
  FileTableModel* Model() const { return model_; }

  // Adds one file (selected and current); a refusal is told in the status bar.
  void AddFile(const std::u16string& path);
  // One dropped folder opens the add-folder dialog; of several items only files are added.
  void AddDroppedItems(const std::vector<std::u16string>& items);
  // Starts a run over the list; it ends on its own (RunFinished).
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
  void DeleteSelected();
  void OpenEntryFile(bool useSource, bool launch);
  void SortByColumn(int column);
  void ShowContextMenu(const QPoint& pos);
  void ShowSelectionCount();
  void RunEnded();
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
  bool wasShown_ = false;
};

}  // namespace dkscr
