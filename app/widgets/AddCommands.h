#pragma once
// The ways of adding to the list: Add File, Paste, a drop, and Add Dir, whose folder scan
// runs on the worker thread while its progress dialog shows the folder it is in. Each adds as
// one operation: the rows it added are selected, and its last refusal and a failure of the
// log are told once.
#include <QObject>
#include <string>
#include <vector>

#include "app/session/BackgroundScan.h"

class QWidget;

namespace dkscr {

class DesktopServices;
class MainDialogs;
class MainWindowUi;
class Session;

class AddCommands : public QObject, private ScanObserver {
  Q_OBJECT

 public:
  AddCommands(Session& session, MainWindowUi& ui, MainDialogs& dialogs, DesktopServices& desktop,
              WorkerThread& worker, QWidget& window);

  // Adds files; the earlier selection goes when `replaceSelection`.
  void AddPaths(const std::vector<std::u16string>& paths, bool replaceSelection);
  void ChooseFiles();
  void Paste();
  // One folder opens the add-folder dialog with it; of several items only files are added.
  void AddDropped(const std::vector<std::u16string>& items);
  // The add-folder dialog, then its scan; returns at once.
  void AddFolders();
  // Scans folders as Add Dir does with every type ticked and sub-folders included, without
  // the dialog (folders named on the command line); returns at once.
  void ScanFolders(const std::vector<std::u16string>& folders);
  bool Scanning() const { return scan_.Running(); }
  const ScanSummary& LastScan() const { return lastScan_; }

 signals:
  void ScanFinished();

 private:
  void StartScan(ScanRequest request);
  void FolderEntered(const std::u16string& folder) override;
  void Finished(const ScanSummary& summary) override;

  Session& session_;
  MainWindowUi& ui_;
  MainDialogs& dialogs_;
  DesktopServices& desktop_;
  QWidget& window_;
  BackgroundScan scan_;
  ScanSummary lastScan_;
  int scanFirstRow_ = 0;
};

// Tells the user, once, of a log failure met during the operation that just ended.
void ReportLogFailure(Session& session, MainDialogs& dialogs);

}  // namespace dkscr
