#include "app/session/TargetConverter.h"

#include <utility>

#include "app/session/AppState.h"
#include "app/session/TargetFile.h"
#include "convert/Convert.h"
#include "platform/NativePath.h"

namespace dkscr {
namespace {

// A file in every form, in the format its type tag names.
template <PresentationKind Format>
ResultCode ConvertIn(const std::u16string& source, SlideMode form, int32_t codePage, OutputBuffer& output) {
  ConvertRequest request;
  request.mode = form;
  request.codePage = codePage;
  request.format = Format;
  request.choice = FormatChoice::kByExtension;
  return ConvertFile(PathToNative(source), request, output);
}

}  // namespace

std::vector<ConverterForType> StandardConverters() {
  return {{u"PPT", &ConvertIn<PresentationKind::kPpt>}, {u"PPTX", &ConvertIn<PresentationKind::kPptx>}};
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
