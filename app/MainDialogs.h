#pragma once
// What the main window asks of the program's other windows. The program hands it the real
// dialogs; the window itself knows only this interface.
#include <QString>
#include <functional>

namespace dkscr {

class TMainDialogs {
 public:
  virtual ~TMainDialogs() = default;

  virtual void ShowOptions() = 0;
  virtual void ShowViewLog() = 0;  // loads the log, then shows it modally
  virtual void ShowAbout() = 0;
  virtual void ShowHelp() = 0;

  // The add-directory dialog: modal, true on OK (it has then stored adddir).
  virtual bool RunAddDir() = 0;
  virtual void SetAddDirFolder(const QString& folder) = 0;
  virtual bool AddDirTypeTicked(int typeNumber) const = 0;
  virtual bool AddDirRecursive() const = 0;

  // The search-progress dialog, shown without modality during a folder scan.
  virtual void ShowSearchProgress(std::function<void()> onStop) = 0;
  virtual void SetSearchFolder(const QString& folder) = 0;
  virtual void CloseSearchProgress() = 0;
  virtual bool SearchProgressVisible() const = 0;
  virtual bool ConversionProgressVisible() const = 0;
  // Shows the visible progress dialog again, in front of the main window.
  virtual void RaiseProgress() = 0;

  // A message box titled "Error" with the error icon.
  virtual void ShowError(const QString& text) = 0;
};

}  // namespace dkscr
