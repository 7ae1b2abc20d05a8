#include "app/session/TargetFile.h"

#include <filesystem>
#include <system_error>

#include "tools/AtomicWrite.h"
#include "platform/NativePath.h"

namespace dkscr {

TargetWriteResult WriteTargetFile(const std::u16string& target, const std::u16string& source,
                                  bool replaceExisting, const uint8_t* data, size_t length) {
  const std::filesystem::path native(PathToNative(target));
  if (native.has_parent_path()) {
    std::error_code ignored;  // a failure shows when the file cannot be created
    std::filesystem::create_directories(native.parent_path(), ignored);
  }
  AtomicWriteOptions options;
  options.replaceExisting = replaceExisting;
  options.protectedPath = PathToNative(source);  // a source named like its target stays
  const std::string_view text(reinterpret_cast<const char*>(data), length);
  switch (WriteFileAtomically(native.string(), text, options)) {
    case AtomicWriteResult::kWritten: return TargetWriteResult::kWritten;
    case AtomicWriteResult::kWriteFailed: return TargetWriteResult::kWriteFailed;
    case AtomicWriteResult::kExists:  // appeared since it was checked: not ours to replace
    case AtomicWriteResult::kCreateFailed: break;
  }
  return TargetWriteResult::kCreateFailed;
}

}  // namespace dkscr
