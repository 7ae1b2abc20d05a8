#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "core/KelCvtBase.h"
#include "openxml/ZipHostHooks.h"

namespace dkscr {

// Text of every slide part of an Open XML presentation (.pptx), one header line per slide.
ResultCode ConvertPptx(const std::u16string& source, OutputBuffer& output, int32_t codePage);
// The same with the host's hooks for this conversion (busy cursor, message pump, message box).
ResultCode ConvertPptx(const std::u16string& source, OutputBuffer& output, int32_t codePage,
                       const ZipHostHooks& hooks);
// The same on a package held in memory, which must outlive the call.
ResultCode ConvertPptxImage(std::string_view image, OutputBuffer& output, int32_t codePage);

}  // namespace dkscr
