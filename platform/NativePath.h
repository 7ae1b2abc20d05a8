#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace dkscr {

// Native paths are byte strings, while the converters take UTF-16 paths. On POSIX systems
// they are the file system's own bytes: bytes that are not valid UTF-8 travel as the lone
// surrogates U+DC80..U+DCFF and come back as the same bytes. On Windows they are UTF-8
// (programs get their arguments as UTF-16 and pass them on as UTF-8), opened as UTF-16; a lone
// surrogate, which Windows names may hold, is written as its three-byte form. Either way every
// name a user can pass survives the round trip.
std::u16string PathFromNative(std::string_view bytes);
std::string PathToNative(std::u16string_view path);

// What separates folders in a native path: the backslash too on Windows.
#ifdef _WIN32
inline constexpr std::string_view kPathSeparators = "/\\";
#else
inline constexpr std::string_view kPathSeparators = "/";
#endif

#ifdef _WIN32
// The UTF-16 name the system opens for a native path.
std::wstring WidePath(std::string_view nativePath);
// The arguments of wmain as native paths (UTF-8).
std::vector<std::string> NativeArguments(int argc, const wchar_t* const* argv);
#endif

// Makes the folders of a native file path that do not exist yet ("mkdir -p" of its folder);
// false when one cannot be made.
bool MakeParentFolders(const std::string& nativePath);

}  // namespace dkscr
