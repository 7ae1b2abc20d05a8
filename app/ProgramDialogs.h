#pragma once
// The program's windows besides the main one, created once at start in their fixed order,
// and the main window's way of reaching them.
#include <QMetaObject>
#include <functional>

#include "app/MainDialogs.h"

class QWidget;

namespace dkscr {

class AppState;
class TFmOption;
class TFmAddDir;
class TFmCancelFind;
class TFmAbout;
class TFmDirectory;
class TFmViewLog;
class TFmCancelCvt;
class TFmFileOverTp;

class TProgramDialogs : public TMainDialogs {
 public:
  // Creates the dialogs as children of the main window, which frees them when it goes.
  TProgramDialogs(AppState& global, QWidget* mainWindow);

  void ShowOptions() override;
  void ShowViewLog() override;
  void ShowAbout() override;
  void ShowHelp() override;
  bool RunAddDir() override;
  void SetAddDirFolder(const QString& folder) override;
  bool AddDirTypeTicked(int typeNumber) const override;
  bool AddDirRecursive() const override;
  void ShowSearchProgress(std::function<void()> onStop) override;
  void SetSearchFolder(const QString& folder) override;
  void CloseSearchProgress() override;
  bool SearchProgressVisible() const override;
  bool ConversionProgressVisible() const override;
  void RaiseProgress() override;
  void StartConvertProgress(int maximum, std::function<void()> onCancel) override;
  void ShowConvertFile(const QString& source) override;
  void StepConvertProgress() override;
  void CloseConvertProgress() override;
  int PromptOverwrite(const QString& target) override;
  void ShowError(const QString& text) override;

  TFmOption* FmOption = nullptr;
  TFmAddDir* FmAddDir = nullptr;
  TFmCancelFind* FmCancelFind = nullptr;
  TFmAbout* FmAbout = nullptr;
  TFmDirectory* FmDirectory = nullptr;
  TFmViewLog* FmViewLog = nullptr;
  TFmCancelCvt* FmCancelCvt = nullptr;
  TFmFileOverTp* FmFileOverTp = nullptr;

 private:
  QWidget* FMain;
  std::function<void()> FOnStop;
};

}  // namespace dkscr
