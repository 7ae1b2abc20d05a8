#include "app/ProgramDialogs.h"

#include <QCheckBox>
#include <QLineEdit>

#include "app/session/AppState.h"
#include "app/batchrun/UnCancelCvt.h"
#include "app/batchrun/UnFileOverTp.h"
#include "app/dialogs/DialogServices.h"
#include "app/dialogs/HelpWindow.h"
#include "app/dialogs/UnAbout.h"
#include "app/dialogs/UnAddDir.h"
#include "app/dialogs/UnCancelFind.h"
#include "app/dialogs/UnDirectory.h"
#include "app/dialogs/UnOption.h"
#include "app/dialogs/UnViewLog.h"

namespace dkscr {

TProgramDialogs::TProgramDialogs(AppState& global, QWidget* mainWindow) : FMain(mainWindow) {
  FmOption = new TFmOption(global, mainWindow);
  // The add-directory dialog holds the directory dialog from its creation on, so that one
  // comes first.
  FmDirectory = new TFmDirectory(QString::fromStdU16String(global.settings.scanFolders), mainWindow);
  FmAddDir = new TFmAddDir(global, *FmDirectory, mainWindow);
  FmCancelFind = new TFmCancelFind(mainWindow);
  QObject::connect(FmCancelFind, &TFmCancelFind::StopRequested, FmCancelFind, [this] {
    if (FOnStop) FOnStop();
  });
  FmCancelCvt = new TFmCancelCvt(mainWindow);
  FmAbout = new TFmAbout(mainWindow);
  FmFileOverTp = new TFmFileOverTp(mainWindow);
  FmViewLog = new TFmViewLog(global, mainWindow);
}

void TProgramDialogs::ShowOptions() { FmOption->exec(); }

void TProgramDialogs::ShowViewLog() {
  FmViewLog->LoadLog();
  FmViewLog->exec();
}

void TProgramDialogs::ShowAbout() { FmAbout->exec(); }

void TProgramDialogs::ShowHelp() { dkscr::ShowHelp(FMain, QString()); }

bool TProgramDialogs::RunAddDir() { return FmAddDir->exec() == QDialog::Accepted; }

void TProgramDialogs::SetAddDirFolder(const QString& folder) { FmAddDir->EditDir->setText(folder); }

bool TProgramDialogs::AddDirTypeTicked(int typeNumber) const {
  return FmAddDir->TypeTicked(typeNumber);
}

bool TProgramDialogs::AddDirRecursive() const { return FmAddDir->CBRecursive->isChecked(); }

void TProgramDialogs::ShowSearchProgress(std::function<void()> onStop) {
  FOnStop = std::move(onStop);
  FmCancelFind->SetStatusText(QString());
  FmCancelFind->show();
}

void TProgramDialogs::SetSearchFolder(const QString& folder) { FmCancelFind->SetStatusText(folder); }

void TProgramDialogs::CloseSearchProgress() {
  FmCancelFind->close();
  FOnStop = nullptr;
}

bool TProgramDialogs::SearchProgressVisible() const { return FmCancelFind->isVisible(); }

bool TProgramDialogs::ConversionProgressVisible() const {
  return FmCancelCvt != nullptr && FmCancelCvt->isVisible();
}

void TProgramDialogs::RaiseProgress() {
  for (QWidget* w : {static_cast<QWidget*>(FmCancelFind), static_cast<QWidget*>(FmCancelCvt)}) {
    if (w != nullptr && w->isVisible()) {
      w->show();
      w->raise();
    }
  }
}

void TProgramDialogs::StartConvertProgress(int maximum, std::function<void()> onCancel) {
  FmCancelCvt->SetCancelHandler(std::move(onCancel));
  FmCancelCvt->Start(maximum);
}

void TProgramDialogs::ShowConvertFile(const QString& source) { FmCancelCvt->ShowFileName(source); }

void TProgramDialogs::StepConvertProgress() { FmCancelCvt->StepProgress(); }

void TProgramDialogs::CloseConvertProgress() {
  FmCancelCvt->close();
  FmCancelCvt->SetCancelHandler(nullptr);  // its run is over
}

int TProgramDialogs::PromptOverwrite(const QString& target) { return FmFileOverTp->Ask(target); }

void TProgramDialogs::ShowError(const QString& text) { ShowErrorMessage(FMain, text); }

}  // namespace dkscr
