#include "batch/SafeWrite.h"

#include <sys/stat.h>

#include <cerrno>
#include <vector>

#include "core/AtomicWrite.h"

namespace dkscr {
namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  return path.substr(0, slash == 0 ? 1 : slash);
}

// mkdir -p, cheap when the folder exists: the usual case costs one call. Missing ancestors
// are collected first and made top down, without recursion.
bool MakeFolders(const std::string& folder) {
  std::vector<std::string> missing;
  for (std::string f = folder; !f.empty();) {
    if (::mkdir(f.c_str(), 0777) == 0 || errno == EEXIST) break;
    if (errno != ENOENT) return false;
    std::string parent = FolderOf(f);
    if (parent == f) return false;
    missing.push_back(std::move(f));
    f = std::move(parent);
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    if (::mkdir(it->c_str(), 0777) != 0 && errno != EEXIST) return false;
  }
  return true;
}

}  // namespace

WriteOutcome WriteFileSafely(const std::string& target, std::string_view bytes, bool replace,
                             const std::string& source) {
  if (!MakeFolders(FolderOf(target))) return WriteOutcome::kCreateFailed;
  AtomicWriteOptions options;
  options.replaceExisting = replace;
  options.protectedPath = source;
  switch (WriteFileAtomically(target, bytes, options)) {
    case AtomicWriteResult::kWritten: return WriteOutcome::kWritten;
    case AtomicWriteResult::kExists: return WriteOutcome::kExists;
    case AtomicWriteResult::kCreateFailed: return WriteOutcome::kCreateFailed;
    case AtomicWriteResult::kWriteFailed: break;
  }
  return WriteOutcome::kWriteFailed;
}

}  // namespace dkscr
