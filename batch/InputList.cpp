#include "batch/InputList.h"

#ifdef _WIN32
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>

#include "convert/PresentationKind.h"
#include "platform/NativePath.h"
#include "platform/RegularFile.h"
#include "tools/Messages.h"

namespace dkscr {
namespace {

std::string Join(const std::string& folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  std::string out = folder;
  if (kPathSeparators.find(out.back()) == std::string::npos) out += '/';
  out += name;
  return out;
}

// The folder of an explicitly named file, kept below the output folder when it is relative
// and stays inside the current folder ("talks/./a" -> "talks/a"); otherwise nothing.
std::string RelativeFolderOfPath(std::string_view path) {
  if (path.empty() || kPathSeparators.find(path[0]) != std::string_view::npos) return {};
#ifdef _WIN32
  if (path.size() >= 2 && path[1] == ':') return {};  // a drive: "C:\talks" or "C:talks"
#endif
  const size_t slash = path.find_last_of(kPathSeparators);
  if (slash == std::string_view::npos) return {};
  std::string out;
  std::string_view rest = path.substr(0, slash);
  while (!rest.empty()) {
    const size_t next = rest.find_first_of(kPathSeparators);
    const std::string_view part = rest.substr(0, next);
    rest = next == std::string_view::npos ? std::string_view{} : rest.substr(next + 1);
    if (part.empty() || part == ".") continue;
    if (part == "..") return {};
    out = Join(out, part);
  }
  return out;
}

std::string FolderOfPath(std::string_view path) {
  const size_t slash = path.find_last_of(kPathSeparators);
  if (slash == std::string_view::npos) return {};
  return std::string(path.substr(0, slash == 0 ? 1 : slash));
}

BatchItem FailedFolder(const std::string& path) {
  BatchItem item;
  item.source = path;
  item.failure = kResultSourceOpenError;
  item.message = "Folder \"" + ShownName(path) + "\" cannot be read";
  return item;
}

#ifdef _WIN32
// The entries of one folder worth looking at, sorted by name. False when it cannot be read.
// A folder met inside a search that has become a link or junction is not entered; a PATH
// naming one is.
bool ReadFolderEntries(const std::string& path, bool followLink, const InputSelection& selection,
                       std::vector<FolderEntry>& entries) {
  const std::wstring folder = WidePath(path.empty() ? "." : path);
  const DWORD attributes = ::GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
      (!followLink && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))) {
    return false;
  }
  WIN32_FIND_DATAW found;
  const HANDLE search = ::FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
  bool ok = true;
  do {
    const std::wstring_view wide = found.cFileName;
    if (wide == L"." || wide == L"..") continue;
    const std::string name = PathToNative(std::u16string(wide.begin(), wide.end()));
    const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const bool isLink = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (isFolder) {
      if (!isLink) entries.push_back({name, true});  // never through a link (no loops)
      continue;
    }
    if (!SelectedInFolder(name, selection)) continue;
    // Only disk files: a link must lead to one.
    if (isLink && KindOfPath(Join(path, name)) != PathKind::kRegular) continue;
    entries.push_back({name, false});
  } while (::FindNextFileW(search, &found));
  if (::GetLastError() != ERROR_NO_MORE_FILES) ok = false;
  ::FindClose(search);
  std::sort(entries.begin(), entries.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  return ok;
}
#else
// The entries of one folder worth looking at, sorted by name. False when it cannot be read.
// A folder met inside a search is opened without following a link, in case it was replaced
// by one since it was listed; a PATH naming a link to a folder is followed.
bool ReadFolderEntries(const std::string& path, bool followLink, const InputSelection& selection,
                       std::vector<FolderEntry>& entries) {
  const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW);
  const int fd = ::open(path.empty() ? "." : path.c_str(), flags);
  if (fd < 0) return false;
  DIR* dir = ::fdopendir(fd);
  if (dir == nullptr) {
    ::close(fd);
    return false;
  }
  bool ok = true;
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(dir);
    if (entry == nullptr) {
      ok = errno == 0;
      break;
    }
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    unsigned char type = entry->d_type;
    if (type == DT_UNKNOWN) {
      struct stat st {};
      if (::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
      type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISLNK(st.st_mode) ? DT_LNK
                                          : S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN;
    }
    if (type == DT_DIR) {
      entries.push_back({std::string(name), true});
      continue;
    }
    if (!SelectedInFolder(name, selection)) continue;
    if (type == DT_LNK) {
      // A link to a file counts; a link to a folder is never followed (no loops).
      struct stat st {};
      if (::fstatat(fd, entry->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode)) continue;
    } else if (type != DT_REG) {
      continue;
    }
    entries.push_back({std::string(name), false});
  }
  ::closedir(dir);
  std::sort(entries.begin(), entries.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  return ok;
}
#endif

// Depth first in name order, with an explicit stack: no recursion however deep the tree.
void SearchFolder(const std::string& root, const InputSelection& selection,
                  std::vector<BatchItem>& items) {
  struct Frame {
    std::string path;
    std::string rel;
    std::vector<FolderEntry> entries;
    size_t next = 0;
  };
  std::vector<Frame> stack;
  stack.push_back({root, {}, {}, 0});
  if (!ReadFolderEntries(root, true, selection, stack.back().entries)) {
    items.push_back(FailedFolder(root));
    return;
  }
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next == frame.entries.size()) {
      stack.pop_back();
      continue;
    }
    const FolderEntry& entry = frame.entries[frame.next++];
    const std::string path = Join(frame.path, entry.name);
    if (!entry.isFolder) {
      BatchItem item;
      item.source = path;
      item.folder = frame.path;
      item.relFolder = frame.rel;
      item.foundInSearch = true;
      items.push_back(std::move(item));
      continue;
    }
    Frame child{path, Join(frame.rel, entry.name), {}, 0};
    if (!ReadFolderEntries(path, false, selection, child.entries)) {
      items.push_back(FailedFolder(path));
      continue;
    }
    stack.push_back(std::move(child));  // `frame` is not used past this point
  }
}

}  // namespace

bool ReadFolder(const std::string& path, const InputSelection& selection,
                       std::vector<FolderEntry>& entries) {
  return ReadFolderEntries(path, true, selection, entries);
}

bool SelectedInFolder(std::string_view name, const InputSelection& selection) {
  const std::string_view extension = ExtensionOfPath(name);
  if (selection.extensions.empty()) return KindOfExtension(extension) != PresentationKind::kUnknown;
  std::string lower(extension);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return std::find(selection.extensions.begin(), selection.extensions.end(), lower) !=
         selection.extensions.end();
}

void AddPath(const std::string& path, const InputSelection& selection,
             std::vector<BatchItem>& items) {
  if (KindOfPath(path) == PathKind::kDirectory) {
    SearchFolder(path, selection, items);
    return;
  }
  BatchItem item;
  item.source = path;
  item.folder = FolderOfPath(path);
  item.relFolder = RelativeFolderOfPath(path);
  items.push_back(std::move(item));
}

std::vector<std::string> SplitPathList(std::string_view text, bool nulSeparated) {
  const char separator = nulSeparated ? '\0' : '\n';
  std::vector<std::string> paths;
  while (!text.empty()) {
    const size_t end = text.find(separator);
    const std::string_view entry = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (!entry.empty()) paths.emplace_back(entry);
  }
  return paths;
}

int ReadPathListFile(const std::string& path, int stdinFd, bool nulSeparated, std::string& text) {
  const bool standardInput = path == "-";
#ifdef _WIN32
  const int fd = standardInput ? stdinFd : ::_wopen(WidePath(path).c_str(), _O_RDONLY | _O_BINARY);
#else
  const int fd = standardInput ? stdinFd : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
#endif
  if (fd < 0) return errno;
  if (!standardInput && StatusOfOpenFile(fd).kind == PathKind::kDirectory) {
    ::close(fd);
    return EISDIR;
  }
  int error = 0;
  char chunk[65536];
  const char separator = nulSeparated ? '\0' : '\n';
  size_t entry = 0;  // bytes of the entry being read
  for (;;) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got > 0) {
      for (ssize_t i = 0; i < got; ++i) {
        if (chunk[i] == separator) {
          if (entry == 0) continue;  // an empty entry: nothing to keep
          entry = 0;
        } else if (++entry > kMaxListedPathBytes) {
          error = ENAMETOOLONG;
          break;
        }
        text.push_back(chunk[i]);
      }
      if (error != 0) break;
    } else if (got == 0) {
      break;
    } else if (errno != EINTR) {
      error = errno;
      break;
    }
  }
  if (!standardInput) ::close(fd);
  return error;
}

}  // namespace dkscr
