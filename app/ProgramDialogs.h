#pragma once
// The program's windows besides the main one, created once at start in their fixed order,
// and the main window's way of reaching them.
#include <QMetaObject>
#include <functional>

#include "app/MainDialogs.h"

class QWidget;

namespace dkscr {

class TGlobal;
class TFmOption;
class TFmAddDir;
class TFmCancelFind;
class TFmAbout;
class TFmDirectory;
class TFmViewLog;

class TProgramDialogs : public TMainDialogs {
 public:
  // Creates the dialogs as children of the main window, which frees them when it goes.
  TProgramDialogs(TGlobal& global, QWidget* mainWindow);

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
  void ShowError(const QString& text) override;

  TFmOption* FmOption = nullptr;
  TFmAddDir* FmAddDir = nullptr;
  TFmCancelFind* FmCancelFind = nullptr;
  TFmAbout* FmAbout = nullptr;
  TFmDirectory* FmDirectory = nullptr;
  TFmViewLog* FmViewLog = nullptr;
  // The conversion run's progress dialog, once the program has one.
  QWidget* FmCancelCvt = nullptr;

 private:
  QWidget* FMain;
  std::function<void()> FOnStop;
};

}  // namespace dkscr
