#include "batch/InputList.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "core/PresentationKind.h"

namespace dkscr {
namespace {

std::string Join(const std::string& folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  std::string out = folder;
  if (out.back() != '/') out += '/';
  out += name;
  return out;
}

// The folder of an explicitly named file, kept below the output folder when it is relative
// and stays inside the current folder ("talks/./a" -> "talks/a"); otherwise nothing.
std::string RelativeFolderOfPath(std::string_view path) {
  if (path.empty() || path[0] == '/') return {};
  const size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return {};
  std::string out;
  std::string_view rest = path.substr(0, slash);
  while (!rest.empty()) {
    const size_t next = rest.find('/');
    const std::string_view part = rest.substr(0, next);
    rest = next == std::string_view::npos ? std::string_view{} : rest.substr(next + 1);
    if (part.empty() || part == ".") continue;
    if (part == "..") return {};
    out = Join(out, part);
  }
  return out;
}

std::string FolderOfPath(std::string_view path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return {};
  return std::string(path.substr(0, slash == 0 ? 1 : slash));
}

BatchItem FailedFolder(const std::string& path) {
  BatchItem item;
  item.source = path;
  item.failure = kResultSourceOpenError;
  item.message = "Folder \"" + path + "\" cannot be read";
  return item;
}

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
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
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

int ReadPathListFile(const std::string& path, int stdinFd, std::string& text) {
  const bool standardInput = path == "-";
  const int fd = standardInput ? stdinFd : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  struct stat st {};
  if (!standardInput && (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode))) {
    ::close(fd);
    return EISDIR;
  }
  int error = 0;
  char chunk[65536];
  for (;;) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got > 0) {
      text.append(chunk, static_cast<size_t>(got));
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
