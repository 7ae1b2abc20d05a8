#pragma once
// The beginning of a converted entry's text file as text, for the window's preview.
#include <cstddef>
#include <cstdint>
#include <string>

namespace dkscr {

struct TargetPreview {
  std::u16string text;     // line breaks as "\n"
  bool truncated = false;  // the file holds more than was read
  int error = 0;           // the errno when the file could not be read; then no text
};

// Reads at most `limit` bytes of the regular file at `path` (never a device or a FIFO) and
// decodes them: by their byte-order mark (UTF-8, UTF-16LE or UTF-16BE), else as UTF-8 for
// Markdown and JSON files, else in `codePage` (0 the default code page), as the run wrote them.
TargetPreview ReadTargetPreview(const std::u16string& path, int32_t codePage, size_t limit);

}  // namespace dkscr
