#include "app/batchrun/BatchRun.h"

#include "app/batchrun/TargetFile.h"
#include "core/Utf.h"
#include "tools/Messages.h"

namespace dkscr {
namespace {

const std::u16string kConverted = u"Convert successfully";
const std::u16string kRefused = u"Target file already exists, user canceled";
const std::u16string kTypeNotSupported = u"File type not support";

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

bool Handles(TConvertMode mode, int32_t state, bool selected) {
  switch (mode) {
    case cmAll:
      return state == kStateNew;
    case cmSelected:
      return state == kStateNew && selected;
    case cmReconvert:
      return state != kStateNew && selected;
  }
  return false;
}

class Run {
 public:
  Run(TConvertMode mode, BatchRunHost& host, OutputBuffer& output,
      const std::vector<ConverterForType>& converters)
      : mode_(mode), host_(host), output_(output), converters_(converters) {}

  BatchRunCounts Execute() {
    const int count = host_.EntryCount();
    if (count <= 0) return counts_;
    host_.ClearCancel();
    codePage_ = host_.SourceCodeSetting();
    if (codePage_ == 0) codePage_ = DefaultCodePage();
    if (!Log(u"Conversion start...")) return Finish(false);
    host_.ShowProgress(count);
    for (int i = 0; i < count && !counts_.logFailed; ++i) {
      if (host_.CancelRequested()) break;
      if (!HandleEntry(i)) break;  // Stop Convert
    }
    host_.ProcessMessages();
    return Finish(true);
  }

 private:
  // Returns false when the user stopped the run at this entry.
  bool HandleEntry(int i) {
    const std::u16string source = host_.EntrySource(i);
    host_.ShowProgressFile(source);
    const int32_t state = host_.EntryState(i);
    if (!Handles(mode_, state, host_.EntrySelected(i))) {
      if (state != kStateNew) host_.StepProgress();
      return true;
    }
    std::u16string target = host_.TargetFileName(source);
    bool replace = false;
    if (FileExistsAt(target)) {
      int policy = host_.OverwritePolicySetting();
      if (policy == kPolicyPrompt) {
        const int answer = host_.PromptOverwrite(target);
        if (answer == kPromptStop) return false;
        policy = answer == kPromptAutoRename  ? kPolicyAutoRename
                 : answer == kPromptOverwrite ? kPolicyOverwrite
                                              : kPolicyCancel;
      }
      if (policy == kPolicyAutoRename) {
        target = AutoRenameTarget(target);
      } else if (policy == kPolicyOverwrite) {
        replace = true;
      } else {
        Fail(i, kRefused, host_.EntryTarget(i));
        host_.StepProgress();
        return true;
      }
    }
    host_.SetEntryTarget(i, target);
    host_.StepProgress();
    Convert(i, source, target, replace);
    host_.ProcessMessages();
    return true;
  }

  // `replace`: the policy allows replacing an existing target; otherwise a target that
  // appears while the entry converts is left alone.
  void Convert(int i, const std::u16string& source, const std::u16string& target, bool replace) {
    const std::u16string type = host_.EntryType(i);
    const HostedConverter* convert = nullptr;
    for (const auto& entry : converters_) {
      if (entry.type == type) convert = &entry.convert;
    }
    if (convert == nullptr || !*convert) {
      Fail(i, kTypeNotSupported, source);
      return;
    }
    const ResultCode result = (*convert)(source, output_, codePage_);
    if (result < 0) {
      Fail(i, MessageForResult(result), result == kResultTargetCreateError ? target : source);
      return;
    }
    switch (WriteTargetFile(target, source, replace, output_.Data(), static_cast<size_t>(result))) {
      case TargetWriteResult::kCreateFailed:
        Fail(i, MessageForResult(kResultTargetCreateError), target);
        return;
      case TargetWriteResult::kWriteFailed:
        Fail(i, MessageForResult(kResultTargetWriteError), source);
        return;
      case TargetWriteResult::kWritten:
        break;
    }
    host_.SetEntryOutcome(i, kStateConverted, kConverted);
    ++counts_.succeeded;
    Log(kConverted + u" (" + source + u")");
  }

  void Fail(int i, const std::u16string& message, const std::u16string& path) {
    host_.SetEntryOutcome(i, kStateFailed, message);
    ++counts_.failed;
    Log(u"Failed: " + message + u" (" + path + u")");
  }

  // A log that cannot be written ends the run after the current entry; the user hears of it
  // once, when the run is over.
  bool Log(const std::u16string& text) {
    if (counts_.logFailed) return false;
    if (host_.WriteLog(text)) return true;
    counts_.logFailed = true;
    return false;
  }

  BatchRunCounts Finish(bool progressShown) {
    if (progressShown) host_.CloseProgress();
    if (!counts_.logFailed) {
      Log(u"Conversion end. Successful: " + Number(counts_.succeeded) + u", Failed: " +
          Number(counts_.failed) + u", Total: " + Number(counts_.succeeded + counts_.failed) +
          u"\r\n");
    }
    if (counts_.logFailed) host_.ReportLogFailure();
    return counts_;
  }

  TConvertMode mode_;
  BatchRunHost& host_;
  OutputBuffer& output_;
  const std::vector<ConverterForType>& converters_;
  int32_t codePage_ = 0;
  BatchRunCounts counts_;
};

}  // namespace

BatchRunCounts RunConversion(TConvertMode mode, BatchRunHost& host, OutputBuffer& output,
                            const std::vector<ConverterForType>& converters) {
  return Run(mode, host, output, converters).Execute();
}

std::vector<std::u16string> RunEntryMessages() {
  std::vector<std::u16string> messages = {kConverted, kRefused, kTypeNotSupported};
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
    if (target.size() >= known.size() && target.compare(target.size() - known.size(), known.size(), known) == 0) {
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
