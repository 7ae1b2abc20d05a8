#include "app/session/SessionRun.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

#include "app/session/AppState.h"
#include "app/session/FileNames.h"
#include "app/session/FileProbe.h"
#include "app/session/Session.h"
#include "platform/NativePath.h"
#include "text/CodePage.h"
#include "tools/Messages.h"

namespace dkscr {
namespace {

std::u16string Widen(const char* ascii) {
  std::u16string out;
  while (*ascii != '\0') out.push_back(static_cast<char16_t>(*ascii++));
  return out;
}

std::u16string Number(int value) { return Widen(std::to_string(value).c_str()); }

std::u16string Text(std::u16string_view text) { return std::u16string(text); }

// The system's reason for an errno, in the user's language as the C library gives it.
std::u16string Reason(int error) {
  return PathFromNative(std::generic_category().message(error));
}

// "text: detail", or the text alone without a detail.
std::u16string WithDetail(std::u16string_view text, const std::u16string& detail) {
  return detail.empty() ? Text(text) : Text(text) + u": " + detail;
}

// The "Convert Message" for a converter's negative result: codes without a text of their own
// read as a format error.
std::u16string MessageForResult(ResultCode code) {
  switch (code) {
    case kResultEncrypted:
      return Text(kMessageEncrypted);
    case kResultLoadError:
    case kResultSourceMissing:
    case kResultSourceOpenError:
    case kResultTargetCreateError:
    case kResultTargetWriteError:
      return Widen(TextsForResult(code).windowed);
    default:
      return Widen(TextsForResult(kResultFormatError).windowed);
  }
}

bool Handles(RunScope scope, EntryState state, bool selected) {
  switch (scope) {
    case RunScope::kAll: return state == EntryState::kNew;
    case RunScope::kSelected: return state == EntryState::kNew && selected;
    case RunScope::kReconvert: return state != EntryState::kNew && selected;
  }
  return false;
}

// One spelling per file: links and "." or ".." parts resolved as far as the path exists.
std::string TargetKey(const std::u16string& target) {
  const std::filesystem::path native(PathToNative(target));
  std::error_code ec;
  std::filesystem::path canonical = std::filesystem::weakly_canonical(native, ec);
  return ec ? native.lexically_normal().string() : canonical.string();
}

// base(n).ext for the target's known extension; anything else is numbered at its very end.
std::u16string Numbered(const std::u16string& target, int n) {
  size_t extLength = 0;
  for (int32_t form : {kTextFormSlides, kTextFormMarkdown, kTextFormJson}) {
    const std::u16string_view known = TargetExtension(form);
    if (target.size() >= known.size() &&
        target.compare(target.size() - known.size(), known.size(), known) == 0) {
      extLength = known.size();
    }
  }
  return target.substr(0, target.size() - extLength) + u"(" + Number(n) + u")" +
         target.substr(target.size() - extLength);
}

}  // namespace

EntryLook LookOf(const Entry& entry) {
  switch (entry.state) {
    case EntryState::kNew: return EntryLook::kNew;
    case EntryState::kConverted:
      return entry.message == kMessageNoText ? EntryLook::kConvertedNoText : EntryLook::kConverted;
    case EntryState::kFailed:
      return entry.message == kMessageSkipped ? EntryLook::kSkipped : EntryLook::kFailed;
  }
  return EntryLook::kUnknown;
}

SessionRun::SessionRun(Session& session, RunScope scope, const std::vector<int>& selectedRows,
                       RunObserver& observer)
    : session_(session), scope_(scope), observer_(observer), count_(session.Count()) {
  selected_.assign(size_t(count_), false);
  for (int row : selectedRows)
    if (row >= 0 && row < count_) selected_[size_t(row)] = true;
}

bool SessionRun::Start() {
  if (count_ <= 0) {
    over_ = true;
    return false;
  }
  const Settings& settings = session_.State().settings;
  codePage_ = settings.codePage != 0 ? settings.codePage : DefaultCodePage();
  form_ = SlideModeOfTextForm(settings.textForm);
  session_.Log(u"Conversion start...");
  observer_.Progress({0, count_, {}});
  return true;
}

const std::u16string* SessionRun::WrittenBy(const std::u16string& target) const {
  const auto it = written_.find(TargetKey(target));
  return it == written_.end() ? nullptr : &it->second;
}

std::u16string SessionRun::FreeTarget(const std::u16string& target, bool mayReplace) const {
  for (int n = 1; n < 1000000; ++n) {
    std::u16string candidate = Numbered(target, n);
    if (WrittenBy(candidate) != nullptr) continue;
    // A folder of that name is taken too: the file could not be created there.
    if (mayReplace ? FileExists(candidate) || !PathExists(candidate) : !PathExists(candidate))
      return candidate;
  }
  return Numbered(target, 1000000);  // not reached on any real folder
}

std::optional<ConvertJob> SessionRun::Next() {
  job_.reset();
  while (!over_ && ++row_ < count_) {
    if (observer_.Cancelled()) {
      summary_.stopped = summary_.cancelled = true;
      break;
    }
    const Entry& entry = session_.At(row_);
    observer_.Progress({position_, count_, entry.source});
    if (!Handles(scope_, entry.state, selected_[size_t(row_)])) {
      if (entry.state != EntryState::kNew) Step();
      continue;
    }
    // The options are read for each entry, as the user may change them during the run.
    std::u16string target = session_.TargetFor(entry.source);
    uint8_t policy = session_.State().settings.overwritePolicy;
    bool replace = false;
    if (const std::u16string* holder = WrittenBy(target)) {
      // Another entry of this run wrote there: its text is never replaced. Overwrite may
      // still replace a numbered file from before the run; Prompt asks only about those.
      if (policy == kOverwriteReplace) {
        target = FreeTarget(target, true);
        replace = FileExists(target);
      } else if (policy == kOverwriteAutoRename || policy == kOverwritePrompt) {
        target = FreeTarget(target, false);
      } else {
        Fail(WithDetail(kMessageNameTaken, *holder), entry.source);
        Step();
        continue;
      }
    } else if (FileExists(target)) {
      if (policy == kOverwritePrompt) {
        const OverwriteAnswer answer = observer_.AskOverwrite(target);
        if (answer == OverwriteAnswer::kStop) {
          summary_.stopped = summary_.cancelled = true;
          break;  // the entry in hand stays as it was
        }
        policy = answer == OverwriteAnswer::kAutoRename  ? kOverwriteAutoRename
                 : answer == OverwriteAnswer::kOverwrite ? kOverwriteReplace
                                                         : kOverwriteRefuse;
      }
      if (policy == kOverwriteAutoRename) {
        target = FreeTarget(target, false);
      } else if (policy == kOverwriteReplace) {
        replace = true;
      } else {
        Skip(target);
        Step();
        continue;
      }
    }
    previousTarget_ = entry.target;
    session_.SetTarget(row_, target);
    Step();
    job_ = ConvertJob{entry.source, entry.kind, target, replace, codePage_, form_};
    return job_;
  }
  over_ = true;
  return std::nullopt;
}

void SessionRun::Complete(const ConvertResult& result) {
  if (!job_) return;
  const ConvertJob job = *std::exchange(job_, std::nullopt);
  using Status = ConvertResult::Status;
  switch (result.status) {
    case Status::kWritten: {
      written_.emplace(TargetKey(job.target), job.source);
      const std::u16string message = Text(result.noText ? kMessageNoText : kMessageConverted);
      session_.SetOutcome(row_, EntryState::kConverted, message);
      ++summary_.succeeded;
      if (result.noText) ++summary_.withoutText;
      session_.Log(message + u" (" + job.source + u")");
      return;
    }
    case Status::kNoConverter:
      Fail(Widen(TextsForResult(kResultTypeNotSupported).windowed), job.source);
      return;
    case Status::kFailed:
      Fail(MessageForResult(result.code),
           result.code == kResultTargetCreateError ? job.target : job.source);
      return;
    case Status::kCreateFailed:
      Fail(WithDetail(kMessageCreateError, result.error != 0 ? Reason(result.error) : u""),
           job.target);
      break;
    case Status::kWriteFailed:
      Fail(MessageForResult(kResultTargetWriteError), job.source);
      break;
    case Status::kCancelled:
      // Stopped inside the file: nothing was written, the entry stays as it was, and nothing
      // after it starts.
      session_.SetTarget(row_, std::move(previousTarget_));
      summary_.stopped = summary_.cancelled = true;
      over_ = true;
      return;
  }
  // A target folder that takes no file fails every entry after this one the same way: the
  // run stops at the first, unless each entry has a folder of its own (beside its source).
  if (result.folderUnwritable && !session_.State().settings.targetBesideSource) {
    summary_.stopped = true;
    summary_.unwritableFolder = std::u16string(FolderPart(job.target));
    summary_.unwritableReason = result.error != 0 ? Reason(result.error) : u"";
    over_ = true;
  }
}

RunSummary SessionRun::Finish() {
  over_ = true;
  if (summary_.cancelled)
    session_.Log(u"Conversion cancelled after " + Number(summary_.Handled()) + u" file(s)");
  if (!summary_.unwritableFolder.empty())
    session_.Log(u"Conversion stopped: the target folder " + summary_.unwritableFolder +
                 u" cannot be written (" + summary_.unwritableReason + u")");
  // Skipped entries are counted apart only when there are any: the summary of a run without
  // them stays as it always was.
  std::u16string counts = u"Conversion end. Successful: " + Number(summary_.succeeded) +
                          u", Failed: " + Number(summary_.failed);
  if (summary_.skipped > 0) counts += u", Skipped: " + Number(summary_.skipped);
  session_.Log(counts + u", Total: " + Number(summary_.Handled()) + u"\r\n");
  observer_.Finished(summary_);
  return summary_;
}

void SessionRun::Step() {
  ++position_;
  observer_.Progress({position_, count_, session_.At(row_).source});
}

void SessionRun::Fail(const std::u16string& message, const std::u16string& logPath) {
  session_.SetOutcome(row_, EntryState::kFailed, message);
  ++summary_.failed;
  session_.Log(u"Failed: " + message + u" (" + logPath + u")");
}

void SessionRun::Skip(const std::u16string& target) {
  // The target column names the file that was there, which is what the message speaks of.
  session_.SetTarget(row_, target);
  session_.SetOutcome(row_, EntryState::kFailed, Text(kMessageSkipped));
  ++summary_.skipped;
  session_.Log(Text(kMessageSkipped) + u" (" + target + u")");
}

RunSummary RunToEnd(SessionRun& run, TargetConverter& converter) {
  if (!run.Start()) return {};
  const std::atomic<bool> notCancelled{false};
  while (std::optional<ConvertJob> job = run.Next()) run.Complete(converter.Convert(*job, notCancelled));
  return run.Finish();
}

int CountHandled(const Session& session, RunScope scope, const std::vector<int>& selectedRows) {
  std::vector<bool> selected(size_t(session.Count()), false);
  for (int row : selectedRows)
    if (row >= 0 && row < session.Count()) selected[size_t(row)] = true;
  int count = 0;
  for (int row = 0; row < session.Count(); ++row)
    count += Handles(scope, session.At(row).state, selected[size_t(row)]) ? 1 : 0;
  return count;
}

std::vector<std::u16string> RunEntryMessages() {
  std::vector<std::u16string> messages = {
      Text(kMessageConverted), Text(kMessageNoText), Text(kMessageSkipped),
      Text(kMessageCreateError), Text(kMessageNameTaken),
      Widen(TextsForResult(kResultTypeNotSupported).windowed)};
  for (ResultCode code : {kResultLoadError, kResultSourceMissing, kResultSourceOpenError,
                          kResultFormatError, kResultTargetWriteError, kResultEncrypted})
    messages.push_back(MessageForResult(code));
  return messages;
}

std::u16string AutoRenameTarget(const std::u16string& target) {
  for (int n = 1; n < 1000000; ++n) {
    std::u16string candidate = Numbered(target, n);
    // A folder of that name is taken too: the file could not be created there.
    if (!PathExists(candidate)) return candidate;
  }
  return Numbered(target, 1000000);  // not reached on any real folder
}

}  // namespace dkscr
