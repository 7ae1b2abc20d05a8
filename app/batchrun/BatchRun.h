#pragma once
// The batch conversion run: which entries a run handles, target naming with the overwrite
// policy, the converter call, the target file, each entry's outcome and the log lines.
// Windows take part only through BatchRunHost, so the whole run is testable without them.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/FileList.h"  // entry states
#include "core/KelCvtBase.h"
#include "core/SlideFormats.h"

namespace dkscr {

enum TConvertMode { cmAll = 0, cmSelected = 1, cmReconvert = 2 };

// Dialog results of the existing-target prompt.
inline constexpr int kPromptAutoRename = 6;  // Yes
inline constexpr int kPromptOverwrite = 7;   // No
inline constexpr int kPromptCancel = 2;
inline constexpr int kPromptStop = 3;        // Abort

// Overwrite policies (the "fileovertp" setting); any other value refuses like kPolicyCancel.
inline constexpr int kPolicyAutoRename = 0;
inline constexpr int kPolicyOverwrite = 1;
inline constexpr int kPolicyPrompt = 2;
inline constexpr int kPolicyCancel = 3;

// What the run needs from the main window, its dialogs and the settings.
class BatchRunHost {
 public:
  virtual ~BatchRunHost() = default;

  // The file list. Indexes stay valid for the whole run: nothing may add or remove entries
  // while a run is in progress.
  virtual int EntryCount() const = 0;
  virtual int32_t EntryState(int index) const = 0;
  virtual bool EntrySelected(int index) const = 0;
  virtual std::u16string EntrySource(int index) const = 0;
  virtual std::u16string EntryType(int index) const = 0;
  virtual std::u16string EntryTarget(int index) const = 0;
  virtual void SetEntryTarget(int index, const std::u16string& target) = 0;
  virtual void SetEntryOutcome(int index, int32_t state, const std::u16string& message) = 0;

  // Settings, read when needed: the code page once per run, the rest per entry.
  virtual int32_t SourceCodeSetting() const = 0;
  virtual int OverwritePolicySetting() const = 0;
  virtual std::u16string TargetFileName(const std::u16string& source) const = 0;

  // Appends one line to the activity log; false when the log cannot be written.
  virtual bool WriteLog(const std::u16string& text) = 0;
  // Tells the user, once per run, that the activity log could not be written.
  virtual void ReportLogFailure() = 0;

  // The progress dialog and the cancel request it sets.
  virtual void ShowProgress(int maximum) = 0;
  virtual void ShowProgressFile(const std::u16string& source) = 0;
  virtual void StepProgress() = 0;
  virtual void CloseProgress() = 0;
  virtual bool CancelRequested() const = 0;
  virtual void ClearCancel() = 0;
  // Lets pending window messages be handled between entries.
  virtual void ProcessMessages() = 0;

  // Asks what to do with an existing target; returns one of the kPrompt values.
  virtual int PromptOverwrite(const std::u16string& target) = 0;
};

// A converter as the run calls it; it may carry the host's services for the conversion.
using HostedConverter = std::function<ResultCode(const std::u16string& source, OutputBuffer& output,
                                                 int32_t codePage)>;

// The converter for each type text, compared exactly.
struct ConverterForType {
  std::u16string type;
  HostedConverter convert;
};

// "PPT" -> the binary converter, "PPTX" -> the Open XML one, in the form asked.
std::vector<ConverterForType> StandardConverters(SlideMode mode = SlideMode::kText);
// The form a "textform" setting asks for; unknown values give kText.
SlideMode SlideModeOfTextForm(int32_t textform);

struct BatchRunCounts {
  int succeeded = 0;
  int failed = 0;
  bool logFailed = false;  // the run ended early because the log could not be written
};

// One conversion run over the host's list. `output` is the caller's buffer, kept across runs.
BatchRunCounts RunConversion(TConvertMode mode, BatchRunHost& host, OutputBuffer& output,
                            const std::vector<ConverterForType>& converters);

// Every "Convert Message" a run can store for an entry, so that the windows can translate
// each of them.
std::vector<std::u16string> RunEntryMessages();

// The first free numbered name for an existing target: base(1).txt, base(2).txt, ...
std::u16string AutoRenameTarget(const std::u16string& target);

}  // namespace dkscr
