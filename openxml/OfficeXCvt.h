#pragma once
#include <cstdint>
#include <string>

#include "core/KelCvtBase.h"

namespace dkscr {

// Text of every slide part of an Open XML presentation (.pptx), one header line per slide.
ResultCode ConvertPptx(const std::u16string& source, OutputBuffer& output, int32_t codePage);

}  // namespace dkscr
