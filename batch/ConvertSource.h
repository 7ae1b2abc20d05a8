#pragma once
// One presentation converted as dkscrcmd converts it (in any of its -m forms), with the type
// read from the file's first bytes (the extension decides only when they tell nothing).
#include <cstdint>
#include <string>

#include "convert/Convert.h"
#include "model/SlideMode.h"

namespace dkscr {

// Returns the result code as dkscrcmd reports it: the byte length of the text in `buffer`,
// -2 missing or a folder, -3 neither type, -4 cannot be opened (also anything that is not a
// regular file, so a FIFO never blocks), -11 encrypted, -5 every other failure.
// `open` opens the file (the converters' own opener when empty).
ResultCode ConvertSource(const std::string& path, SlideMode mode, int32_t codePage,
                         OutputBuffer& buffer, const SourceOpener& open = {});

// What dkscrbatch asks of a source: the first bytes decide its format, then the extension.
ConvertRequest SourceRequest(const std::string& path, SlideMode mode, int32_t codePage);

}  // namespace dkscr
