#include <utility>

#include "app/session/AppState.h"
#include "app/batchrun/BatchRun.h"
#include "core/KelPptCvt.h"
#include "core/PptSlides.h"
#include "openxml/OfficeXCvt.h"
#include "openxml/PptxSlides.h"

namespace dkscr {
namespace {

// The slide converters in the run's converter shape, one per form.
template <SlideMode Mode>
ResultCode PptIn(const std::u16string& source, OutputBuffer& output, int32_t codePage) {
  return ConvertPptSlides(source, Mode, codePage, output);
}
template <SlideMode Mode>
ResultCode PptxIn(const std::u16string& source, OutputBuffer& output, int32_t codePage) {
  return ConvertPptxSlides(source, Mode, codePage, output);
}

}  // namespace

std::vector<ConverterForType> StandardConverters(SlideMode mode, ZipHostHooks zipHooks) {
  switch (mode) {
    case SlideMode::kFull: return {{u"PPT", &PptIn<SlideMode::kFull>}, {u"PPTX", &PptxIn<SlideMode::kFull>}};
    case SlideMode::kMarkdown:
      return {{u"PPT", &PptIn<SlideMode::kMarkdown>}, {u"PPTX", &PptxIn<SlideMode::kMarkdown>}};
    case SlideMode::kJson: return {{u"PPT", &PptIn<SlideMode::kJson>}, {u"PPTX", &PptxIn<SlideMode::kJson>}};
    case SlideMode::kText: break;
  }
  auto pptx = [hooks = std::move(zipHooks)](const std::u16string& source, OutputBuffer& output,
                                            int32_t codePage) {
    return ConvertPptx(source, output, codePage, hooks);
  };
  return {{u"PPT", &ConvertPpt}, {u"PPTX", std::move(pptx)}};
}

SlideMode SlideModeOfTextForm(int32_t textform) {
  switch (textform) {
    case kTextFormComplete: return SlideMode::kFull;
    case kTextFormMarkdown: return SlideMode::kMarkdown;
    default: return SlideMode::kText;
  }
}

}  // namespace dkscr
