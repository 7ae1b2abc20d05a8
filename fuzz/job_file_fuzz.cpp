// The job-file loader on arbitrary bytes: no crash, and whatever it loads saves and loads
// back to the same list.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/SavedFileList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  dkscr::TFileList list;
  const auto loaded = dkscr::ParseFileList(bytes, list);
  if (loaded.Entries != list.Count()) std::abort();
  dkscr::TFileListSaveResult saved;
  const std::string again = dkscr::SerializeFileList(list, &saved);
  if (saved.DroppedEntries != 0 || saved.CutTexts != 0) std::abort();
  dkscr::TFileList back;
  if (dkscr::ParseFileList(again, back).Status != dkscr::TFileListLoadStatus::Loaded) std::abort();
  if (back.Entries() != list.Entries()) std::abort();
  return 0;
}
