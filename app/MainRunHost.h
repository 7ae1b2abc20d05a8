#pragma once
// Joins the batch conversion run to the main window: its list, settings, log and dialogs.
#include "app/batchrun/BatchRun.h"

namespace dkscr {

class TFmMain;

class TMainRunHost : public BatchRunHost {
 public:
  explicit TMainRunHost(TFmMain& window) : FWindow(window) {}

  int EntryCount() const override;
  int32_t EntryState(int index) const override;
  bool EntrySelected(int index) const override;
  std::u16string EntrySource(int index) const override;
  std::u16string EntryType(int index) const override;
  std::u16string EntryTarget(int index) const override;
  void SetEntryTarget(int index, const std::u16string& target) override;
  void SetEntryOutcome(int index, int32_t state, const std::u16string& message) override;

  int32_t SourceCodeSetting() const override;
  int OverwritePolicySetting() const override;
  std::u16string TargetFileName(const std::u16string& source) const override;

  bool WriteLog(const std::u16string& text) override;
  void ReportLogFailure() override;

  void ShowProgress(int maximum) override;
  void ShowProgressFile(const std::u16string& source) override;
  void StepProgress() override;
  void CloseProgress() override;
  bool CancelRequested() const override;
  void ClearCancel() override;
  void ProcessMessages() override;

  int PromptOverwrite(const std::u16string& target) override;

 private:
  TFmMain& FWindow;
};

}  // namespace dkscr
