#pragma once
// JSON Lines records of dkscrbatch: always valid JSON and valid UTF-8, whatever the bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/SlideModel.h"
#include "platform/ResultCodes.h"

namespace dkscr {

// One record and its line end. `text` is the converter's UTF-8 output with its byte-order
// mark, used when code >= 0. A path that is not UTF-8 also gets "path_bytes": its bytes in
// lower-case hexadecimal.
std::string JsonRecord(std::string_view path, ResultCode code, std::string_view message,
                       std::string_view text);

// The record of a success with --mode json: "slides" (the array dkscrcmd -mjson writes) in
// place of "text", and as code the byte length of dkscrcmd -mjson's output. Failures take
// JsonRecord.
std::string JsonSlidesRecord(std::string_view path, std::string_view message,
                             const SlideDeck& deck);

}  // namespace dkscr
