#pragma once
// The one step of a run that takes long: converting an entry's source and writing its target.
// The run hands it to a worker thread through this interface, so that the window stays
// responsive and a test can put in converters of its own.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "text/Encode.h"
#include "model/SlideFormats.h"

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
};

class TargetConverter {
 public:
  virtual ~TargetConverter() = default;
  // Runs on the worker thread, one job at a time. `cancel` is set when the user asks the run
  // to stop; a converter may end early then (kCancelled).
  virtual ConvertResult Convert(const ConvertJob& job, const std::atomic<bool>& cancel) = 0;
};

// A converter of a file in every form, as the library's slide converters are.
using SourceConverter = ResultCode (*)(const std::u16string& source, SlideMode form,
                                       int32_t codePage, OutputBuffer& output);

// The converter for each type tag, compared exactly.
struct ConverterForType {
  std::u16string kind;
  SourceConverter convert;
};

// "PPT" and "PPTX" with the library's converters of every form.
std::vector<ConverterForType> StandardConverters();

// Converts with the converter of the entry's type and writes the target atomically
// (WriteTargetFile). Keeps one output buffer for every conversion.
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

}  // namespace dkscr
