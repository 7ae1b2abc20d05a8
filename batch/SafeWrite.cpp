#include "batch/SafeWrite.h"

#include <filesystem>
#include <system_error>

#include "core/AtomicWrite.h"
#include "core/NativePath.h"

namespace dkscr {
namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of(kPathSeparators);
  if (slash == std::string::npos) return {};
  return path.substr(0, slash == 0 ? 1 : slash);
}

// The folders of a text file's path, made as needed ("mkdir -p").
bool MakeFolders(const std::string& folder) {
  if (folder.empty()) return true;
  std::error_code error;
#ifdef _WIN32
  std::filesystem::create_directories(std::filesystem::path(WidePath(folder)), error);
#else
  std::filesystem::create_directories(folder, error);
#endif
  return !error;
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
