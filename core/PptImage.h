#pragma once
// ConvertPpt on a file already in memory (fuzzing, benchmarks, callers holding the bytes).
#include <cstdint>
#include <string_view>

#include "core/KelCvtBase.h"

namespace dkscr {

ResultCode ConvertPptImage(std::string_view image, OutputBuffer& output, int32_t codePage);

}  // namespace dkscr
