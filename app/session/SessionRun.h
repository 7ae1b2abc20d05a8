#pragma once
// The batch conversion run over a session's list: which entries it handles, target naming
// with the overwrite policy, each entry's outcome written into the session, and the log
// lines. The run decides on the session's thread, step by step; the conversion of an entry
// (TargetConverter) is the step that may go to another thread in between.
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/session/Entry.h"
#include "app/session/TargetConverter.h"

namespace dkscr {

class Session;

// Which entries a run handles: every new one, the selected new ones, or the selected ones
// that were converted or failed before.
enum class RunScope { kAll, kSelected, kReconvert };

// The user's answer when a target exists and the policy says to ask.
enum class OverwriteAnswer { kAutoRename, kOverwrite, kCancel, kStop };

// The "Convert Message" texts a run stores, in English (the list shows them translated). A
// message of the form "text: detail" carries a path or a system's reason after a known text.
inline constexpr std::u16string_view kMessageConverted = u"Convert successfully";
inline constexpr std::u16string_view kMessageNoText = u"Converted: no text found";
inline constexpr std::u16string_view kMessageSkipped = u"Skipped: target exists";
inline constexpr std::u16string_view kMessageEncrypted = u"Source file is encrypted (password-protected)";
inline constexpr std::u16string_view kMessageCreateError = u"Target file create error";
inline constexpr std::u16string_view kMessageNameTaken = u"Target file name is taken by another entry";

// How an entry's last outcome looks in the list: its state, told apart further by its message.
// The first three are the states' own numbers; the list's icons follow this order.
enum class EntryLook { kNew, kConverted, kFailed, kConvertedNoText, kSkipped, kUnknown };
EntryLook LookOf(const Entry& entry);

struct RunProgress {
  int position = 0;        // steps of the gauge so far
  int maximum = 0;         // the number of entries when the run started
  std::u16string source;   // the entry the run has reached; empty before the first
};

struct RunSummary {
  int succeeded = 0;    // written, with text or without
  int withoutText = 0;  // of those, written but holding no text
  int failed = 0;
  int skipped = 0;      // the target existed and the policy (or the user) said to skip it
  bool stopped = false;    // ended before its last entry: the entries after were not visited
  bool cancelled = false;  // stopped by the user (Cancel, Stop Convert)
  // Stopped because the target folder takes no files: the folder and the system's reason.
  std::u16string unwritableFolder;
  std::u16string unwritableReason;

  int Handled() const { return succeeded + failed + skipped; }
};

class RunObserver {
 public:
  virtual ~RunObserver() = default;
  // The run started (position 0), reached an entry or stepped its gauge.
  virtual void Progress(const RunProgress& progress) = 0;
  // A target exists and the policy is "Prompt".
  virtual OverwriteAnswer AskOverwrite(const std::u16string& target) = 0;
  // Asked before every entry: true ends the run there.
  virtual bool Cancelled() = 0;
  // The summary is logged; the run is over.
  virtual void Finished(const RunSummary& summary) = 0;
};

class SessionRun {
 public:
  // `selectedRows`: the rows the user has selected, in any order. The list must not gain or
  // lose entries, nor be sorted, until the run has finished.
  SessionRun(Session& session, RunScope scope, const std::vector<int>& selectedRows,
             RunObserver& observer);

  // Opens the run: logs its start and shows progress. False for an empty list, which starts
  // nothing, logs nothing and needs no Finish.
  bool Start();
  // The next entry to convert, after passing over, refusing or renaming what the scope and
  // the overwrite policy say; nothing when the run is over (its end, Cancel, Stop Convert, a
  // target folder that takes no files).
  std::optional<ConvertJob> Next();
  // Writes the outcome of the job Next gave into the session and the log.
  void Complete(const ConvertResult& result);
  // Logs the summary, tells the observer, and returns the counts.
  RunSummary Finish();

 private:
  void Step();
  void Fail(const std::u16string& message, const std::u16string& logPath);
  void Skip(const std::u16string& target);
  // The entry of this run that wrote `target`, or nullptr when none did.
  const std::u16string* WrittenBy(const std::u16string& target) const;
  // The first numbered name (base(1).ext, ...) that this run has not written, that is not a
  // folder, and that does not exist unless `mayReplace`.
  std::u16string FreeTarget(const std::u16string& target, bool mayReplace) const;

  Session& session_;
  RunScope scope_;
  RunObserver& observer_;
  std::vector<bool> selected_;
  int count_ = 0;
  int row_ = -1;
  int position_ = 0;
  int32_t codePage_ = 0;
  SlideMode form_ = SlideMode::kText;
  RunSummary summary_;
  bool over_ = false;
  std::optional<ConvertJob> job_;  // the job in hand
  std::u16string previousTarget_;  // its entry's target before the run renamed it
  // Every target this run has written (by the path's canonical form), with the source written
  // there: a second entry never replaces the first one's text.
  std::unordered_map<std::string, std::u16string> written_;
};

// A whole run on the calling thread: each job converted there, then completed.
RunSummary RunToEnd(SessionRun& run, TargetConverter& converter);

// How many entries a run of the scope would handle now: 0 means it would convert nothing.
int CountHandled(const Session& session, RunScope scope, const std::vector<int>& selectedRows);

// Every "Convert Message" a run can store for an entry (the parts before ": " of those that
// carry a detail), so that the windows can translate each of them.
std::vector<std::u16string> RunEntryMessages();

// The first free numbered name for an existing target: base(1).txt, base(2).txt, ...
std::u16string AutoRenameTarget(const std::u16string& target);

}  // namespace dkscr
