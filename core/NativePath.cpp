#include "core/NativePath.h"

#include "core/Utf.h"

namespace dkscr {

std::u16string PathFromNative(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  size_t pos = 0;
  while (pos < bytes.size()) {
    char32_t cp;
    bool valid;
    const size_t len = DecodeUtf8Sequence(bytes, pos, cp, valid);
    if (!valid) {
      for (size_t i = 0; i < len; ++i) {
        out.push_back(static_cast<char16_t>(0xDC00 + static_cast<uint8_t>(bytes[pos + i])));
      }
    } else {
      AppendUtf16(cp, out);
    }
    pos += len;
  }
  return out;
}

std::string PathToNative(std::u16string_view path) {
  std::string out;
  out.reserve(path.size());
  for (size_t i = 0; i < path.size(); ++i) {
    const char16_t u = path[i];
    if (u >= 0xDC80 && u <= 0xDCFF) {  // an escaped raw byte
      out.push_back(static_cast<char>(u - 0xDC00));
    } else if (IsHighSurrogate(u) && i + 1 < path.size() && IsLowSurrogate(path[i + 1])) {
      AppendWideAsUtf8(path.substr(i, 2), out);
      ++i;
    } else {
      AppendWideAsUtf8(path.substr(i, 1), out);
    }
  }
  return out;
}

}  // namespace dkscr
