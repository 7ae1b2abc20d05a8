#pragma once
// The program's windows besides the main one, made in their fixed order when the main window
// is built, and the main window's way of reaching them.
#include <functional>

#include "app/widgets/MainDialogs.h"

class QWidget;

namespace dkscr {

class AboutDialog;
class AddFolderDialog;
class AppState;
class ConvertProgressDialog;
class DialogServices;
class FolderListDialog;
class LogDialog;
class OptionsDialog;
class OverwritePromptDialog;
class ScanProgressDialog;

class ProgramDialogs : public MainDialogs {
 public:
  ProgramDialogs(AppState& state, DialogServices& services);

  // Makes the dialogs as children of the main window, which frees them when it goes.
  void Create(QWidget* mainWindow) override;

  bool ShowOptions() override;
  void ShowLog() override;
  void ShowAbout() override;
  void ShowHelp() override;
  bool RunAddFolder() override;
  void SetAddFolderText(const QString& folders) override;
  bool AddFolderTypeTicked(int typeNumber) const override;
  bool AddFolderRecursive() const override;
  void ShowScanProgress(std::function<void()> onStop) override;
  void SetScanFolder(const QString& folder) override;
  void CloseScanProgress() override;
  bool ScanProgressVisible() const override;
  void ShowRunProgress(const RunProgress& progress, std::function<void()> onCancel) override;
  void CloseRunProgress() override;
  bool RunProgressVisible() const override;
  OverwriteAnswer AskOverwrite(const QString& target) override;
  void RaiseProgress() override;
  void ShowError(const QString& text) override;

  OptionsDialog* Options() const { return options_; }
  AddFolderDialog* AddFolder() const { return addFolder_; }
  FolderListDialog* FolderList() const { return folderList_; }
  ScanProgressDialog* ScanProgress() const { return scanProgress_; }
  ConvertProgressDialog* ConvertProgress() const { return convertProgress_; }
  OverwritePromptDialog* OverwritePrompt() const { return overwritePrompt_; }
  LogDialog* Log() const { return log_; }
  AboutDialog* About() const { return about_; }

 private:
  AppState& state_;
  DialogServices& services_;
  QWidget* main_ = nullptr;
  OptionsDialog* options_ = nullptr;
  AddFolderDialog* addFolder_ = nullptr;
  FolderListDialog* folderList_ = nullptr;
  ScanProgressDialog* scanProgress_ = nullptr;
  ConvertProgressDialog* convertProgress_ = nullptr;
  OverwritePromptDialog* overwritePrompt_ = nullptr;
  LogDialog* log_ = nullptr;
  AboutDialog* about_ = nullptr;
  std::function<void()> onStop_;
};

}  // namespace dkscr
