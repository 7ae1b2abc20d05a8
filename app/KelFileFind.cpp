#include "app/KelFileFind.h"

#include <dirent.h>
#include <sys/stat.h>

#include <QChar>
#include <memory>

#include "core/NativePath.h"
#include "core/Utf.h"

namespace dkscr {
namespace {

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

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

void TKelFileSearch::Execute() {
  userStopped_ = false;
  SearchExts = UpperCaseText(SearchExts);
  std::u16string dir = SearchDir;
  if (dir.empty() || dir.back() != u'/') dir += u'/';
  SearchFolder(dir);
  if (OnFinish) OnFinish(*this);
}

void TKelFileSearch::SearchFolder(const std::u16string& dir) {
  if (OnChangeFolder) OnChangeFolder(dir);
  const std::string nativeDir = PathToNative(dir);
  std::unique_ptr<DIR, DirCloser> handle(::opendir(nativeDir.c_str()));
  if (!handle) return;
  while (!userStopped_) {
    const dirent* entry = ::readdir(handle.get());
    if (entry == nullptr) break;
    Pump();
    const std::string_view name(entry->d_name);
    // Hidden entries, "." and ".." among them.
    if (!name.empty() && name[0] != '.') {
      const std::string nativePath = nativeDir + std::string(name);
      struct stat st {};
      if (::lstat(nativePath.c_str(), &st) == 0) {
        const bool isLink = S_ISLNK(st.st_mode);
        if (isLink && ::stat(nativePath.c_str(), &st) != 0) st.st_mode = 0;  // broken link
        if (S_ISDIR(st.st_mode)) {
          if (RecurseSubFolders && !isLink) SearchFolder(dir + PathFromNative(name) + u'/');
        } else if (S_ISREG(st.st_mode)) {
          TFindData info;
          info.Name = PathFromNative(name);
          const size_t dot = info.Name.rfind(u'.');
          if (dot != std::u16string::npos) {
            const std::u16string key = u"*" + UpperCaseText(info.Name.substr(dot)) + u"|";
            if (SearchExts.find(key) != std::u16string::npos && OnFileFind) {
              info.Size = static_cast<uint64_t>(st.st_size);
              info.Mode = st.st_mode;
              info.LastWriteTime = static_cast<int64_t>(st.st_mtime);
              OnFileFind(dir, info);
            }
          }
        }
      }
    }
    Pump();
  }
}

}  // namespace dkscr
