#include "app/session/TargetPreview.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <utility>

#include "app/session/FileNames.h"
#include "text/CodePage.h"
#include "platform/NativePath.h"
#include "platform/RegularFile.h"

namespace dkscr {
namespace {

std::u16string Utf16(std::string_view bytes, bool little) {
  std::u16string text;
  text.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto lo = static_cast<unsigned char>(bytes[i + (little ? 0 : 1)]);
    const auto hi = static_cast<unsigned char>(bytes[i + (little ? 1 : 0)]);
    text.push_back(static_cast<char16_t>(lo | hi << 8));
  }
  return text;
}

}  // namespace

TargetPreview ReadTargetPreview(const std::u16string& path, int32_t codePage, size_t limit) {
  TargetPreview preview;
  uint64_t size = 0;
  const int fd = OpenRegularFileForReading(PathToNative(path), size);
  if (fd < 0) {
    preview.error = errno;
    return preview;
  }
  std::string bytes(static_cast<size_t>(std::min<uint64_t>(size, limit)), '\0');
  bytes.resize(ReadFileAt(fd, 0, bytes.data(), bytes.size()));
  ::close(fd);
  preview.truncated = size > bytes.size();

  const std::string_view b = bytes;
  const std::u16string_view ext = ExtensionOf(path);
  if (b.substr(0, 2) == "\xFF\xFE") {
    preview.text = Utf16(b.substr(2), true);
  } else if (b.substr(0, 2) == "\xFE\xFF") {
    preview.text = Utf16(b.substr(2), false);
  } else if (b.substr(0, 3) == "\xEF\xBB\xBF") {
    preview.text = CodePageToWide(65001, b.substr(3));
  } else if (ext == TargetExtension(kTextFormMarkdown) || ext == TargetExtension(kTextFormJson) || codePage == 65001) {
    preview.text = CodePageToWide(65001, b);
  } else if (codePage == 1200) {
    preview.text = Utf16(b, true);
  } else {
    preview.text = CodePageToWide(codePage != 0 ? codePage : DefaultCodePage(), b);
  }
  // CR LF as the text files have them, or a lone CR: one line break for the window.
  std::u16string lines;
  lines.reserve(preview.text.size());
  for (size_t i = 0; i < preview.text.size(); ++i) {
    if (preview.text[i] != u'\r') {
      lines.push_back(preview.text[i]);
    } else if (i + 1 >= preview.text.size() || preview.text[i + 1] != u'\n') {
      lines.push_back(u'\n');
    }
  }
  preview.text = std::move(lines);
  return preview;
}

}  // namespace dkscr
