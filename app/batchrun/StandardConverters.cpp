#include "app/batchrun/BatchRun.h"
#include "core/KelPptCvt.h"
#include "openxml/OfficeXCvt.h"

namespace dkscr {

std::vector<ConverterForType> StandardConverters() {
  return {{u"PPT", &ConvertPpt}, {u"PPTX", &ConvertPptx}};
}

}  // namespace dkscr
