#pragma once
// What the main window asks of the program's other windows. The program hands it the real
// dialogs; a test hands it stand-ins. The window itself knows only this interface.
#include <QString>
#include <functional>

#include "app/session/SessionRun.h"

class QWidget;

namespace dkscr {

class MainDialogs {
 public:
  virtual ~MainDialogs() = default;

  // Called once by the main window as it is built: the dialogs become its children, are
  // centred on it and go with it.
  virtual void Create(QWidget* mainWindow) = 0;

  // The options dialog, modal; true when the user stored new options with OK.
  virtual bool ShowOptions() = 0;
  virtual void ShowLog() = 0;  // loads the log, then shows it modally
  virtual void ShowAbout() = 0;
  virtual void ShowHelp() = 0;

  // The add-folder dialog: modal, true on OK (it has then stored the scanFolders setting).
  virtual bool RunAddFolder() = 0;
  virtual void SetAddFolderText(const QString& folders) = 0;
  virtual bool AddFolderTypeTicked(int typeNumber) const = 0;
  virtual bool AddFolderRecursive() const = 0;

  // The scan's progress dialog, shown without modality; onStop is called when the user asks
  // the scan to stop.
  virtual void ShowScanProgress(std::function<void()> onStop) = 0;
  virtual void SetScanFolder(const QString& folder) = 0;
  virtual void CloseScanProgress() = 0;
  virtual bool ScanProgressVisible() const = 0;

  // The run's progress dialog, shown without modality from the run's first progress on;
  // onCancel is called when the user asks the run to stop (Cancel, Esc, closing it).
  virtual void ShowRunProgress(const RunProgress& progress, std::function<void()> onCancel) = 0;
  virtual void CloseRunProgress() = 0;
  virtual bool RunProgressVisible() const = 0;
  // Asks what to do with an existing target.
  virtual OverwriteAnswer AskOverwrite(const QString& target) = 0;

  // Shows a visible progress dialog again, in front of the main window.
  virtual void RaiseProgress() = 0;
  // A message box titled "Error" with the error icon.
  virtual void ShowError(const QString& text) = 0;
};

}  // namespace dkscr
