#include "app/AddFile.h"

#include <sys/stat.h>

#include "app/FileNames.h"
#include "core/NativePath.h"

namespace dkscr {
namespace {

std::u16string DecimalText(uint64_t value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

uint64_t FileSizeOf(const std::u16string& path) {
  struct stat st {};
  if (::stat(PathToNative(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
  return static_cast<uint64_t>(st.st_size);
}

TAddFileOutcome AddSourceFile(TFileList& list, const TGlobal& global, const std::u16string& path) {
  if (list.FindSource(path) != TFileList::npos) return TAddFileOutcome::AlreadyAdded;
  const int type = global.FileTypeOfExtension(ExtensionOf(path));
  if (type == 0) return TAddFileOutcome::TypeNotSupported;
  TFileListEntry entry;
  entry.State = kStateNew;
  entry.SubItems.resize(kSubItemCount);
  entry.SubItems[kSubItemName] = FileNamePart(path);
  entry.SubItems[kSubItemSourceFile] = path;
  entry.SubItems[kSubItemSize] = DecimalText(FileSizeOf(path));
  entry.SubItems[kSubItemType] = FileTypeRow(type).TypeTag;
  entry.SubItems[kSubItemTargetFile] = TargetFileName(path, global.Settings);
  list.Add(std::move(entry));
  return TAddFileOutcome::Added;
}

std::u16string AddFileStatusText(TAddFileOutcome outcome, std::u16string_view path) {
  switch (outcome) {
    case TAddFileOutcome::AlreadyAdded:
      return u"File [" + std::u16string(path) + u"] already added!";
    case TAddFileOutcome::TypeNotSupported:
      return u"File [" + std::u16string(path) + u"] type not support!";
    case TAddFileOutcome::Added:
      break;
  }
  return {};
}

std::u16string AddFileLogText(TAddFileOutcome outcome, std::u16string_view path) {
  switch (outcome) {
    case TAddFileOutcome::AlreadyAdded:
      return u"Add file failed: already added (" + std::u16string(path) + u")";
    case TAddFileOutcome::TypeNotSupported:
      return u"Add file failed: type not support (" + std::u16string(path) + u")";
    case TAddFileOutcome::Added:
      break;
  }
  return {};
}

}  // namespace dkscr
