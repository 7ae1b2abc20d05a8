#include "app/session/FolderScan.h"

#include <dirent.h>
#include <sys/stat.h>

#include <QChar>
#include <algorithm>
#include <cwchar>
#include <memory>

#include "app/session/AppState.h"
#include "platform/NativePath.h"
#include "platform/Utf.h"

namespace dkscr {
namespace {

// Windows folders are read with the UTF-16 calls: the narrow ones go through the ANSI code page.
#ifdef _WIN32
struct DirCloser {
  void operator()(_WDIR* dir) const { ::_wclosedir(dir); }
};
#else
struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};
#endif

}  // namespace

std::u16string UpperCaseText(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t u = text[i];
    if (IsHighSurrogate(u) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      const char32_t cp = 0x10000 + ((char32_t{u} - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      const char32_t upper = QChar::toUpper(cp);
      if (upper >= 0x10000) {
        out.push_back(static_cast<char16_t>(0xD800 + ((upper - 0x10000) >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + ((upper - 0x10000) & 0x3FF)));
      } else {
        out.push_back(static_cast<char16_t>(upper));
      }
      ++i;
    } else {
      out.push_back(static_cast<char16_t>(QChar::toUpper(char32_t{u})));
    }
  }
  return out;
}

FolderScan::FolderScan(std::u16string_view masks, bool recursive)
    : masks_(UpperCaseText(masks)), recursive_(recursive) {}

bool FolderScan::Execute(std::u16string_view folder, ScanObserver& observer) const {
  std::u16string dir(folder);
  if (dir.empty() || dir.back() != u'/') dir += u'/';
  return Walk(dir, observer);
}

bool FolderScan::Walk(const std::u16string& dir, ScanObserver& observer) const {
  observer.FolderEntered(dir);
  const std::string nativeDir = PathToNative(dir);
#ifdef _WIN32
  std::unique_ptr<_WDIR, DirCloser> handle(::_wopendir(WidePath(nativeDir).c_str()));
#else
  std::unique_ptr<DIR, DirCloser> handle(::opendir(nativeDir.c_str()));
#endif
  if (!handle) return true;
  while (true) {
    if (observer.StopRequested()) return false;
#ifdef _WIN32
    const _wdirent* entry = ::_wreaddir(handle.get());
    if (entry == nullptr) return true;
    const std::string nativeName =
        PathToNative(std::u16string(entry->d_name, entry->d_name + std::wcslen(entry->d_name)));
    const std::string_view name(nativeName);
#else
    const dirent* entry = ::readdir(handle.get());
    if (entry == nullptr) return true;
    const std::string_view name(entry->d_name);
#endif
    if (name.empty() || name[0] == '.') continue;  // hidden entries, "." and ".." among them
    const std::string nativePath = nativeDir + std::string(name);
#ifdef _WIN32
    // The C library's stat sees no links there (junctions are followed as folders).
    struct _stat64 st {};
    if (::_wstat64(WidePath(nativePath).c_str(), &st) != 0) continue;
    const bool isLink = false;
#else
    struct stat st {};
    if (::lstat(nativePath.c_str(), &st) != 0) continue;
    const bool isLink = S_ISLNK(st.st_mode);
    if (isLink && ::stat(nativePath.c_str(), &st) != 0) continue;  // a broken link
#endif
    if (S_ISDIR(st.st_mode)) {
      if (recursive_ && !isLink && !Walk(dir + PathFromNative(name) + u'/', observer)) return false;
      continue;
    }
    if (!S_ISREG(st.st_mode)) continue;
    FoundFile file;
    file.name = PathFromNative(name);
    const size_t dot = file.name.rfind(u'.');
    if (dot == std::u16string::npos) continue;
    if (masks_.find(u"*" + UpperCaseText(file.name.substr(dot)) + u"|") == std::u16string::npos)
      continue;
    file.folder = dir;
    file.size = static_cast<uint64_t>(st.st_size);
    file.mode = st.st_mode;
    file.lastWriteTime = static_cast<int64_t>(st.st_mtime);
    observer.FileFound(file);
  }
}


std::u16string BuildScanMasks(const Settings& settings, bool type1, bool type2) {
  std::u16string masks;
  for (int n = 1; n <= kFileTypeCount; ++n) {
    if (!(n == 1 ? type1 : type2)) continue;
    masks += TypeMasks(settings, n);
    masks += u';';
  }
  std::replace(masks.begin(), masks.end(), u';', u'|');
  return masks;
}

std::vector<std::u16string> SplitScanFolders(std::u16string_view scanFolders) {
  std::vector<std::u16string> folders;
  size_t start = 0;
  while (start <= scanFolders.size()) {
    size_t end = scanFolders.find(u';', start);
    if (end == std::u16string_view::npos) end = scanFolders.size();
    const std::u16string_view piece = scanFolders.substr(start, end - start);
    if (piece.find_first_not_of(u" \t") != std::u16string_view::npos)
      folders.emplace_back(piece);
    start = end + 1;
  }
  return folders;
}

}  // namespace dkscr
