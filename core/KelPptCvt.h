#pragma once
#include <cstdint>
#include <string>

#include "core/KelCvtBase.h"

namespace dkscr {

// Text of every slide, then of every notes page, of a binary presentation (.ppt).
ResultCode ConvertPpt(const std::u16string& source, OutputBuffer& output, int32_t codePage);

}  // namespace dkscr
