#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "core/ByteSource.h"
#include "core/KelCvtBase.h"

namespace dkscr {

// Text of every slide, then of every notes page, of a binary presentation (.ppt).
ResultCode ConvertPpt(const std::u16string& source, OutputBuffer& output, int32_t codePage);
// The same on bytes already opened, from a file or from memory.
ResultCode ConvertPptSource(std::unique_ptr<ByteSource> source, OutputBuffer& output, int32_t codePage);

}  // namespace dkscr
