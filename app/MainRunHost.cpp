#include "app/MainRunHost.h"

#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QTableView>

#include "app/MainDialogs.h"
#include "app/UnMain.h"

namespace dkscr {
namespace {

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }

}  // namespace

int TMainRunHost::EntryCount() const { return FWindow.FModel->Count(); }

int32_t TMainRunHost::EntryState(int index) const { return FWindow.FModel->Entry(index).State; }

bool TMainRunHost::EntrySelected(int index) const {
  return FWindow.ListView1->selectionModel()->isRowSelected(index, QModelIndex());
}

std::u16string TMainRunHost::EntrySource(int index) const {
  return FWindow.FModel->Text(index, kColSource).toStdU16String();
}

std::u16string TMainRunHost::EntryType(int index) const {
  return FWindow.FModel->Text(index, kColType).toStdU16String();
}

std::u16string TMainRunHost::EntryTarget(int index) const {
  return FWindow.FModel->Text(index, kColTarget).toStdU16String();
}

void TMainRunHost::SetEntryTarget(int index, const std::u16string& target) {
  FWindow.FModel->SetText(index, kColTarget, Q(target));
}

void TMainRunHost::SetEntryOutcome(int index, int32_t state, const std::u16string& message) {
  FWindow.FModel->SetState(index, state);
  FWindow.FModel->SetText(index, kColMessage, Q(message));
}

int32_t TMainRunHost::SourceCodeSetting() const { return FWindow.FGlobal.settings.codePage; }

int TMainRunHost::OverwritePolicySetting() const { return FWindow.FGlobal.settings.overwritePolicy; }

std::u16string TMainRunHost::TargetFileName(const std::u16string& source) const {
  return FWindow.TargetFileName(source);
}

bool TMainRunHost::WriteLog(const std::u16string& text) {
  // A log that cannot be written must not cost the user the run: the window remembers the
  // failure and tells it once the run is over, and the entries still show their outcomes.
  FWindow.Log(text);
  return true;
}

void TMainRunHost::ReportLogFailure() { FWindow.ReportLogFailure(); }

void TMainRunHost::ShowProgress(int maximum) {
  if (FWindow.FDialogs == nullptr) return;
  // The dialog outlives this host, which lives for one run: its handler holds the window,
  // which owns the dialog.
  TFmMain* window = &FWindow;
  FWindow.FDialogs->StartConvertProgress(maximum, [window] { window->FCancel = true; });
}

void TMainRunHost::ShowProgressFile(const std::u16string& source) {
  if (FWindow.FDialogs) FWindow.FDialogs->ShowConvertFile(Q(source));
}

void TMainRunHost::StepProgress() {
  if (FWindow.FDialogs) FWindow.FDialogs->StepConvertProgress();
}

void TMainRunHost::CloseProgress() {
  if (FWindow.FDialogs) FWindow.FDialogs->CloseConvertProgress();
}

bool TMainRunHost::CancelRequested() const { return FWindow.FCancel; }

void TMainRunHost::ClearCancel() { FWindow.FCancel = false; }

void TMainRunHost::ProcessMessages() { QCoreApplication::processEvents(); }

int TMainRunHost::PromptOverwrite(const std::u16string& target) {
  return FWindow.FDialogs ? FWindow.FDialogs->PromptOverwrite(Q(target)) : kPromptCancel;
}

}  // namespace dkscr
