#pragma once
// JSON Lines records of dkscrbatch: always valid JSON and valid UTF-8, whatever the bytes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ResultCodes.h"

namespace dkscr {

// One record and its line end. `text` is the converter's UTF-8 output with its byte-order
// mark, used when code >= 0. A path that is not UTF-8 also gets "path_bytes": its bytes in
// lower-case hexadecimal. With `sha256`, a "sha256" member after the message: the source's
// digest in hexadecimal, or null when its bytes could not be read.
std::string JsonRecord(std::string_view path, ResultCode code, std::string_view message,
                       std::string_view text, const std::optional<std::string>* sha256 = nullptr);

// The record of a success with --mode json: the members of `form` (what dkscrcmd -mjson
// writes: "schema", "metadata", "sections", "slides") in place of "text", and as code the
// byte length of `form`. Failures take JsonRecord.
std::string JsonSlidesRecord(std::string_view path, std::string_view message, std::string_view form,
                             const std::optional<std::string>* sha256 = nullptr);

}  // namespace dkscr
