// The Open XML converter on packages held in memory. Input starting with "PK" is taken as a whole
// package, input starting with a compound document's signature as a (password-protected)
// package file; anything else becomes the slide parts of a package built here, split at zero
// bytes, so that the fuzzer reaches the XML reader through the converter as well.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "../tests/support/Conversions.h"
#include "../tests/support/ZipWriter.h"

namespace {

std::string PackageOf(std::string_view input) {
  if (input.starts_with("PK") || input.starts_with("\xD0\xCF\x11\xE0")) return std::string(input);
  dkscr::test::ZipWriter zip;
  zip.Add("[Content_Types].xml", "<Types/>", 0);
  int number = 1;
  size_t start = 0;
  while (start <= input.size() && number < 8) {
    size_t end = input.find('\0', start);
    if (end == std::string_view::npos) end = input.size();
    const uint16_t method = number % 2 == 0 ? 8 : 0;
    zip.Add("ppt/slides/slide" + std::to_string(number) + ".xml",
            std::string(input.substr(start, end - start)), method);
    ++number;
    start = end + 1;
  }
  return zip.Build();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string package =
      PackageOf(std::string_view(reinterpret_cast<const char*>(data), size));
  dkscr::OutputBuffer output;
  for (int32_t codePage : {65001, 1200, 1252}) {
    const dkscr::ResultCode result = dkscr::test::ConvertPptxBytes(package, output, codePage);
    // A directory that cannot be read is an open error, a compound document holding an
    // encrypted package is encrypted, anything else a format error.
    if (result < 0 && result != dkscr::kResultFormatError &&
        result != dkscr::kResultSourceOpenError && result != dkscr::kResultEncrypted) {
      std::abort();
    }
    if (result >= 0 && output.BlockSize() != static_cast<size_t>(result) + 1) std::abort();
  }
  return 0;
}
