#pragma once
// The one step of a run that takes long: converting an entry's source and writing its target.
// The run hands it to a worker thread through this interface, so that the window stays
// responsive and a test can put in converters of its own.
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/SlideFormats.h"
#include "platform/OutputBuffer.h"
#include "platform/ResultCodes.h"
#include "tools/ConvertToTarget.h"

namespace dkscr {

// One entry's conversion as the run decided it.
struct ConvertJob {
  std::u16string source;
  std::u16string kind;     // the entry's type tag: chooses the converter
  std::u16string target;   // the path to write, after the overwrite policy
  bool replaceExisting = false;  // the policy allows replacing a target that exists
  int32_t codePage = 0;          // never 0: the run resolves the default
  SlideMode form = SlideMode::kText;
};

struct ConvertResult {
  enum class Status {
    kWritten,       // the target holds the text
    kNoConverter,   // no converter for the entry's type
    kFailed,        // the converter failed with `code`
    kCreateFailed,  // the target could not be created (or was not ours to replace)
    kWriteFailed,   // the target could not be written; nothing of it is left
    kCancelled,     // the user stopped the run while this entry converted
  };
  Status status = Status::kWritten;
  ResultCode code = 0;  // the converter's result: the byte length, or its error code
  bool noText = false;  // written, but the presentation gave no text (an empty deck, an old
                        // or damaged file the converter can read nothing of)
  int error = 0;        // kCreateFailed, kWriteFailed: the system's reason (errno), 0 if none
  bool folderUnwritable = false;  // the target's folder takes no file at all
};

class TargetConverter {
 public:
  virtual ~TargetConverter() = default;
  // Runs on the worker thread, one job at a time. `cancel` is set when the user asks the run
  // to stop; a converter may end early then (kCancelled).
  virtual ConvertResult Convert(const ConvertJob& job, const std::atomic<bool>& cancel) = 0;
};

// The converter for each type tag, compared exactly: the shared convert-to-target job's
// conversion, which tests replace with their own.
struct ConverterForType {
  std::u16string kind;
  FileConverter convert;
};

// "PPT" and "PPTX": the one conversion entry, each reading its files as the format its tag
// names.
std::vector<ConverterForType> StandardConverters();

// Runs the shared convert-to-target job (tools/ConvertToTarget.h) with the converter of the
// entry's type: the converter stops between slides or parts once `cancel` is set, and the
// target is written through a file beside it. Keeps one output buffer for every conversion.
class StandardTargetConverter : public TargetConverter {
 public:
  explicit StandardTargetConverter(std::vector<ConverterForType> converters = StandardConverters());
  ConvertResult Convert(const ConvertJob& job, const std::atomic<bool>& cancel) override;

 private:
  std::vector<ConverterForType> converters_;
  OutputBuffer output_;
};

// The form a "textform" setting asks for; unknown values give kText.
SlideMode SlideModeOfTextForm(int32_t textForm);

// Whether a converted output holds no text at all: only a byte-order mark and blanks (the
// text forms, in their code page), slide headings without a title (Markdown), or no string
// value but empty ones (JSON).
bool HoldsNoText(std::string_view bytes, SlideMode form, int32_t codePage);

}  // namespace dkscr
