#include "app/session/SessionRun.h"

#include <string>
#include <utility>

#include "app/session/AppState.h"
#include "app/session/FileProbe.h"
#include "app/session/Session.h"
#include "tools/Messages.h"

namespace dkscr {
namespace {

const std::u16string kConverted = u"Convert successfully";
const std::u16string kRefused = u"Target file already exists, user canceled";

std::u16string Widen(const char* ascii) {
  std::u16string out;
  while (*ascii != '\0') out.push_back(static_cast<char16_t>(*ascii++));
  return out;
}

std::u16string Number(int value) { return Widen(std::to_string(value).c_str()); }

// The "Convert Message" for a converter's negative result: codes without a text of their own
// read as a format error.
std::u16string MessageForResult(ResultCode code) {
  switch (code) {
    case kResultLoadError:
    case kResultSourceMissing:
    case kResultSourceOpenError:
    case kResultTargetCreateError:
    case kResultTargetWriteError:
    case kResultEncrypted:
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

}  // namespace

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

std::optional<ConvertJob> SessionRun::Next() {
  job_.reset();
  while (!over_ && ++row_ < count_) {
    if (observer_.Cancelled()) {
      summary_.stopped = true;
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
    bool replace = false;
    if (FileExists(target)) {
      uint8_t policy = session_.State().settings.overwritePolicy;
      if (policy == kOverwritePrompt) {
        const OverwriteAnswer answer = observer_.AskOverwrite(target);
        if (answer == OverwriteAnswer::kStop) {
          summary_.stopped = true;
          break;  // the entry in hand stays as it was
        }
        policy = answer == OverwriteAnswer::kAutoRename  ? kOverwriteAutoRename
                 : answer == OverwriteAnswer::kOverwrite ? kOverwriteReplace
                                                         : kOverwriteRefuse;
      }
      if (policy == kOverwriteAutoRename) {
        target = AutoRenameTarget(target);
      } else if (policy == kOverwriteReplace) {
        replace = true;
      } else {
        // The target column still names the earlier target: this one was never taken.
        Fail(kRefused, entry.target);
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
    case Status::kWritten:
      session_.SetOutcome(row_, EntryState::kConverted, kConverted);
      ++summary_.succeeded;
      session_.Log(kConverted + u" (" + job.source + u")");
      return;
    case Status::kNoConverter:
      Fail(Widen(TextsForResult(kResultTypeNotSupported).windowed), job.source);
      return;
    case Status::kFailed:
      Fail(MessageForResult(result.code),
           result.code == kResultTargetCreateError ? job.target : job.source);
      return;
    case Status::kCreateFailed:
      Fail(MessageForResult(kResultTargetCreateError), job.target);
      return;
    case Status::kWriteFailed:
      Fail(MessageForResult(kResultTargetWriteError), job.source);
      return;
    case Status::kCancelled:
      // Stopped inside the file: nothing was written, the entry stays as it was, and nothing
      // after it starts.
      session_.SetTarget(row_, std::move(previousTarget_));
      summary_.stopped = true;
      over_ = true;
      return;
  }
}

RunSummary SessionRun::Finish() {
  over_ = true;
  session_.Log(u"Conversion end. Successful: " + Number(summary_.succeeded) + u", Failed: " +
               Number(summary_.failed) + u", Total: " +
               Number(summary_.succeeded + summary_.failed) + u"\r\n");
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

RunSummary RunToEnd(SessionRun& run, TargetConverter& converter) {
  if (!run.Start()) return {};
  const std::atomic<bool> notCancelled{false};
  while (std::optional<ConvertJob> job = run.Next()) run.Complete(converter.Convert(*job, notCancelled));
  return run.Finish();
}

std::vector<std::u16string> RunEntryMessages() {
  std::vector<std::u16string> messages = {
      kConverted, kRefused, Widen(TextsForResult(kResultTypeNotSupported).windowed)};
  for (ResultCode code : {kResultLoadError, kResultSourceMissing, kResultSourceOpenError,
                          kResultFormatError, kResultTargetCreateError, kResultTargetWriteError,
                          kResultEncrypted})
    messages.push_back(MessageForResult(code));
  return messages;
}

std::u16string AutoRenameTarget(const std::u16string& target) {
  // Target names end in ".txt" or ".md"; anything else is numbered at its very end.
  size_t extLength = 0;
  for (std::u16string_view known : {std::u16string_view(u".txt"), std::u16string_view(u".md")}) {
    if (target.size() >= known.size() &&
        target.compare(target.size() - known.size(), known.size(), known) == 0) {
      extLength = known.size();
    }
  }
  const std::u16string base = target.substr(0, target.size() - extLength);
  const std::u16string ext = target.substr(target.size() - extLength);
  for (int n = 1; n < 1000000; ++n) {
    std::u16string candidate = base + u"(" + Number(n) + u")" + ext;
    // A folder of that name is taken too: the file could not be created there.
    if (!PathExists(candidate)) return candidate;
  }
  return base + u"(1000000)" + ext;  // not reached on any real folder
}

}  // namespace dkscr
