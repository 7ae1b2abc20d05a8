#include "app/shell/ProgramDialogs.h"

#include <QCheckBox>
#include <QLineEdit>

#include "app/dialogs/AboutDialog.h"
#include "app/dialogs/AddFolderDialog.h"
#include "app/dialogs/ConvertProgressDialog.h"
#include "app/dialogs/DialogServices.h"
#include "app/dialogs/FolderListDialog.h"
#include "app/dialogs/HelpWindow.h"
#include "app/dialogs/LogDialog.h"
#include "app/dialogs/OptionsDialog.h"
#include "app/dialogs/OverwritePromptDialog.h"
#include "app/dialogs/ScanProgressDialog.h"
#include "app/session/AppState.h"

namespace dkscr {

ProgramDialogs::ProgramDialogs(AppState& state, DialogServices& services)
    : state_(state), services_(services) {}

void ProgramDialogs::Create(QWidget* mainWindow) {
  main_ = mainWindow;
  options_ = new OptionsDialog(state_, services_, main_);
  // The add-folder dialog holds the folder list from its creation on, so that one comes first.
  folderList_ = new FolderListDialog(QString::fromStdU16String(state_.settings.scanFolders),
                                     services_, main_);
  addFolder_ = new AddFolderDialog(state_, *folderList_, services_, main_);
  scanProgress_ = new ScanProgressDialog(main_);
  QObject::connect(scanProgress_, &ScanProgressDialog::StopRequested, scanProgress_, [this] {
    if (onStop_) onStop_();
  });
  convertProgress_ = new ConvertProgressDialog(main_);
  about_ = new AboutDialog(main_);
  overwritePrompt_ = new OverwritePromptDialog(main_);
  log_ = new LogDialog(state_, services_, main_);
}

bool ProgramDialogs::ShowOptions() { return options_->exec() == QDialog::Accepted; }

void ProgramDialogs::ShowLog() {
  log_->LoadLog();
  log_->exec();
}

void ProgramDialogs::ShowAbout() { about_->exec(); }

void ProgramDialogs::ShowHelp() { dkscr::ShowHelp(main_, QString()); }

bool ProgramDialogs::RunAddFolder() { return addFolder_->exec() == QDialog::Accepted; }

void ProgramDialogs::SetAddFolderText(const QString& folders) { addFolder_->folderEdit->setText(folders); }

bool ProgramDialogs::AddFolderTypeTicked(int typeNumber) const {
  return addFolder_->TypeTicked(typeNumber);
}

bool ProgramDialogs::AddFolderRecursive() const { return addFolder_->recursiveBox->isChecked(); }

void ProgramDialogs::ShowScanProgress(std::function<void()> onStop) {
  onStop_ = std::move(onStop);
  scanProgress_->SetStatusText(QString());
  scanProgress_->show();
}

void ProgramDialogs::SetScanFolder(const QString& folder) { scanProgress_->SetStatusText(folder); }

void ProgramDialogs::CloseScanProgress() {
  onStop_ = nullptr;  // closing asks to stop too; the scan is over
  scanProgress_->close();
}

bool ProgramDialogs::ScanProgressVisible() const { return scanProgress_->isVisible(); }

void ProgramDialogs::ShowRunProgress(const RunProgress& progress, std::function<void()> onCancel) {
  if (progress.position == 0 && progress.source.empty()) {
    convertProgress_->SetCancelHandler(std::move(onCancel));
    convertProgress_->Start(progress.maximum);
    return;
  }
  convertProgress_->ShowFileName(QString::fromStdU16String(progress.source));
  convertProgress_->SetProgress(progress.position);
}

void ProgramDialogs::CloseRunProgress() {
  convertProgress_->SetCancelHandler(nullptr);  // its run is over
  convertProgress_->close();
}

bool ProgramDialogs::RunProgressVisible() const {
  return convertProgress_ != nullptr && convertProgress_->isVisible();
}

OverwriteAnswer ProgramDialogs::AskOverwrite(const QString& target) {
  return overwritePrompt_->Ask(target);
}

void ProgramDialogs::RaiseProgress() {
  for (QWidget* w : {static_cast<QWidget*>(scanProgress_), static_cast<QWidget*>(convertProgress_)}) {
    if (w != nullptr && w->isVisible()) {
      w->show();
      w->raise();
    }
  }
}

void ProgramDialogs::ShowError(const QString& text) { ShowErrorMessage(services_, main_, text); }

}  // namespace dkscr
