// The binary converter on in-memory files: any input gives a result code of the contract, never a
// crash, a hang or unbounded memory.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "../tests/support/Conversions.h"


extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view image(reinterpret_cast<const char*>(data), size);
  dkscr::OutputBuffer out;
  const dkscr::ResultCode code = dkscr::test::ConvertPptBytes(image, out, 1200);
  if (code >= 0) {
    if (code < 2 || code % 2 != 0 || out.BlockSize() != static_cast<size_t>(code) + 1) std::abort();
  } else if (code != -5 && code != -11) {
    std::abort();
  }
  return 0;
}
