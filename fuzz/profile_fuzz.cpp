// The settings-file reader and writer on arbitrary bytes: no crash, reads stay within their
// bound, a written value reads back, and a saved file parses back to the same lines.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/session/ProfileFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // The tail of the input, after a zero byte, becomes a value to write.
  const size_t split = bytes.find('\0');
  const std::string_view file = bytes.substr(0, split);
  const std::string_view value =
      split == std::string_view::npos ? std::string_view() : bytes.substr(split + 1);

  dkscr::ProfileFile profile;
  profile.Parse(file);
  for (const char* key : {"samedir", "targetdir", "fileovertp", "k"}) {
    const auto text = profile.ReadString("general", key);
    if (text && text->size() > dkscr::ProfileFile::kMaxValueBytes) std::abort();
    profile.ReadInteger("general", key, 7);
  }
  int32_t number = 0;
  dkscr::ParseProfileInteger(file.substr(0, 16), number);

  profile.WriteString("general", "k", value);
  const std::string_view kept = value.substr(0, value.find_first_of(std::string_view("\r\n\0", 3)));
  const auto read = profile.ReadString("general", "k");
  if (!read) std::abort();
  if (kept.size() <= dkscr::ProfileFile::kMaxValueBytes && *read != kept) std::abort();

  dkscr::ProfileFile again;
  again.Parse(profile.Serialize());
  if (again.Lines() != profile.Lines()) std::abort();
  return 0;
}
