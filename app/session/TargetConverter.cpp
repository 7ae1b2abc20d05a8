#include "app/session/TargetConverter.h"

#include <utility>

#include "app/session/AppState.h"
#include "app/session/TargetFile.h"
#include "core/PptSlides.h"
#include "openxml/PptxSlides.h"

namespace dkscr {

std::vector<ConverterForType> StandardConverters() {
  return {{u"PPT", &ConvertPptSlides}, {u"PPTX", &ConvertPptxSlides}};
}

StandardTargetConverter::StandardTargetConverter(std::vector<ConverterForType> converters)
    : converters_(std::move(converters)) {}

ConvertResult StandardTargetConverter::Convert(const ConvertJob& job,
                                               const std::atomic<bool>& cancel) {
  using Status = ConvertResult::Status;
  SourceConverter convert = nullptr;
  for (const ConverterForType& c : converters_)
    if (c.kind == job.kind) convert = c.convert;
  if (convert == nullptr) return {Status::kNoConverter, 0};
  const ResultCode code = convert(job.source, job.form, job.codePage, output_);
  // The converters read a file to its end; a conversion given up on meanwhile writes nothing.
  if (cancel) return {Status::kCancelled, 0};
  if (code < 0) return {Status::kFailed, code};
  switch (WriteTargetFile(job.target, job.source, job.replaceExisting, output_.Data(),
                          static_cast<size_t>(code))) {
    case TargetWriteResult::kWritten: return {Status::kWritten, code};
    case TargetWriteResult::kWriteFailed: return {Status::kWriteFailed, code};
    case TargetWriteResult::kCreateFailed: break;
  }
  return {Status::kCreateFailed, code};
}

SlideMode SlideModeOfTextForm(int32_t textForm) {
  switch (textForm) {
    case kTextFormComplete: return SlideMode::kFull;
    case kTextFormMarkdown: return SlideMode::kMarkdown;
    default: return SlideMode::kText;
  }
}

}  // namespace dkscr
