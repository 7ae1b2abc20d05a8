#include <utility>

#include "app/batchrun/BatchRun.h"
#include "core/KelPptCvt.h"
#include "openxml/OfficeXCvt.h"

namespace dkscr {

std::vector<ConverterForType> StandardConverters(ZipHostHooks zipHooks) {
  auto pptx = [hooks = std::move(zipHooks)](const std::u16string& source, OutputBuffer& output,
                                            int32_t codePage) {
    return ConvertPptx(source, output, codePage, hooks);
  };
  return {{u"PPT", &ConvertPpt}, {u"PPTX", std::move(pptx)}};
}

}  // namespace dkscr
