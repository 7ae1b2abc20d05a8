#include "app/Global.h"
#include "app/batchrun/BatchRun.h"
#include "convert/Convert.h"
#include "core/NativePath.h"

namespace dkscr {
namespace {

// One converter in the run's converter shape: the type the list names decides the format.
// The default text has the converter contract's own entries.
template <SlideMode Mode, PresentationKind Format>
ResultCode ConvertIn(const std::u16string& source, OutputBuffer& output, int32_t codePage) {
  ConvertRequest request;
  request.mode = Mode;
  request.codePage = codePage;
  request.format = Format;
  request.choice = FormatChoice::kByExtension;
  return ConvertFile(PathToNative(source), request, output);
}

template <SlideMode Mode>
std::vector<ConverterForType> ConvertersIn() {
  return {{u"PPT", &ConvertIn<Mode, PresentationKind::kPpt>}, {u"PPTX", &ConvertIn<Mode, PresentationKind::kPptx>}};
}

}  // namespace

std::vector<ConverterForType> StandardConverters(SlideMode mode) {
  switch (mode) {
    case SlideMode::kFull: return ConvertersIn<SlideMode::kFull>();
    case SlideMode::kMarkdown: return ConvertersIn<SlideMode::kMarkdown>();
    case SlideMode::kJson: return ConvertersIn<SlideMode::kJson>();
    case SlideMode::kText: break;
  }
  return {{u"PPT", &ConvertPpt}, {u"PPTX", &ConvertPptx}};
}

SlideMode SlideModeOfTextForm(int32_t textform) {
  switch (textform) {
    case kTextFormComplete: return SlideMode::kFull;
    case kTextFormMarkdown: return SlideMode::kMarkdown;
    default: return SlideMode::kText;
  }
}

}  // namespace dkscr
