#pragma once
// JSON Lines records of dkscrbatch: always valid JSON and valid UTF-8, whatever the bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/ResultCodes.h"

namespace dkscr {

// Appends `bytes` as a JSON string (with its quotes). UTF-8 is decoded; a surrogate pair
// written as two three-byte sequences (as the binary reader's UTF-8 comes) is joined into
// its character; anything else undecodable becomes U+FFFD. Quotes, backslashes and control
// characters are escaped; with crLfAsLf, CR LF becomes "\n". Returns false when anything
// was replaced or joined, i.e. the bytes were not plain UTF-8.
bool AppendJsonString(std::string& out, std::string_view bytes, bool crLfAsLf = false);

// One record and its line end. `text` is the converter's UTF-8 output with its byte-order
// mark, used when code >= 0. A path that is not UTF-8 also gets "path_bytes": its bytes in
// lower-case hexadecimal.
std::string JsonRecord(std::string_view path, ResultCode code, std::string_view message,
                       std::string_view text);

}  // namespace dkscr
