#pragma once
// JSON strings from arbitrary bytes: always valid JSON and valid UTF-8, whatever the input.
#include <string>
#include <string_view>

namespace dkscr {

// How bytes that are not well-formed UTF-8 are repaired.
enum class Utf8Repair {
  // Each maximal ill-formed subpart becomes one U+FFFD, as the text converters do.
  kMaximalSubparts,
  // A surrogate pair written as two three-byte sequences (as the binary reader's UTF-8 comes)
  // is joined into its character; a lone half becomes one U+FFFD, every other undecodable
  // byte one U+FFFD of its own.
  kJoinSurrogatePairs,
};

struct JsonStringOptions {
  bool crLfAsLf = false;  // CR LF is written as "\n"
  Utf8Repair repair = Utf8Repair::kMaximalSubparts;
};

// Appends `bytes` as a JSON string, quotes included. Quotes, backslashes and control characters
// are escaped. Returns false when anything was replaced or joined, i.e. the bytes were not
// plain UTF-8.
bool AppendJsonString(std::string& out, std::string_view bytes, JsonStringOptions options = {});

}  // namespace dkscr
