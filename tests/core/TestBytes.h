#pragma once
#include <string>
#include <string_view>

#include "platform/OutputBuffer.h"

namespace dkscr::test {

// The first `length` bytes of a buffer as a string, for comparisons.
inline std::string Bytes(const OutputBuffer& buffer, int length) {
  return std::string(reinterpret_cast<const char*>(buffer.Data()), static_cast<size_t>(length));
}

}  // namespace dkscr::test
