#include "platform/NativePath.h"

#include <filesystem>
#include <system_error>

#include "platform/Utf.h"

namespace dkscr {
namespace {

#ifdef _WIN32
constexpr bool kNamesAreUtf16 = true;
#else
constexpr bool kNamesAreUtf16 = false;
#endif

// The three bytes ED A0..BF 80..BF: a surrogate written on its own, as Windows names may hold.
bool IsEncodedSurrogate(std::string_view bytes, size_t pos) {
  if (pos + 2 >= bytes.size() || static_cast<uint8_t>(bytes[pos]) != 0xED) return false;
  const auto second = static_cast<uint8_t>(bytes[pos + 1]);
  const auto third = static_cast<uint8_t>(bytes[pos + 2]);
  return second >= 0xA0 && second <= 0xBF && third >= 0x80 && third <= 0xBF;
}

}  // namespace

std::u16string PathFromNative(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  size_t pos = 0;
  while (pos < bytes.size()) {
    if (kNamesAreUtf16 && IsEncodedSurrogate(bytes, pos)) {
      out.push_back(static_cast<char16_t>(0xD000 | ((bytes[pos + 1] & 0x3F) << 6) |
                                          (bytes[pos + 2] & 0x3F)));
      pos += 3;
      continue;
    }
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
    if (!kNamesAreUtf16 && u >= 0xDC80 && u <= 0xDCFF) {  // an escaped raw byte
      out.push_back(static_cast<char>(u - 0xDC00));
    } else if (IsHighSurrogate(u) && i + 1 < path.size() && IsLowSurrogate(path[i + 1])) {
      AppendWideAsUtf8(path.substr(i, 2), out);
      ++i;
    } else if (kNamesAreUtf16 && (IsHighSurrogate(u) || IsLowSurrogate(u))) {
      out.push_back(static_cast<char>(0xED));
      out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    } else {
      AppendWideAsUtf8(path.substr(i, 1), out);
    }
  }
  return out;
}

#ifdef _WIN32
std::wstring WidePath(std::string_view nativePath) {
  const std::u16string wide = PathFromNative(nativePath);
  return std::wstring(wide.begin(), wide.end());
}

std::vector<std::string> NativeArguments(int argc, const wchar_t* const* argv) {
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) {
    const std::wstring_view arg(argv[i]);
    args.push_back(PathToNative(std::u16string(arg.begin(), arg.end())));
  }
  return args;
}
#endif

bool MakeParentFolders(const std::string& nativePath) {
  const size_t slash = nativePath.find_last_of(kPathSeparators);
  if (slash == std::string::npos) return true;
  const std::string folder = nativePath.substr(0, slash == 0 ? 1 : slash);
  std::error_code error;
#ifdef _WIN32
  std::filesystem::create_directories(std::filesystem::path(WidePath(folder)), error);
#else
  std::filesystem::create_directories(folder, error);
#endif
  return !error;
}

}  // namespace dkscr
