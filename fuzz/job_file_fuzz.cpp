// The job-file loader on arbitrary bytes: no crash, and whatever it loads saves and loads
// back to the same list.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "app/session/JobFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<dkscr::JobRecord> records;
  const auto loaded = dkscr::ParseJobFile(bytes, records);
  if (loaded.records != records.size()) std::abort();
  dkscr::JobFileSaveResult saved;
  const std::string again = dkscr::SerializeJobFile(records, &saved);
  if (saved.droppedRecords != 0 || saved.cutTexts != 0) std::abort();
  std::vector<dkscr::JobRecord> back;
  if (dkscr::ParseJobFile(again, back).status != dkscr::JobFileLoadStatus::Loaded) std::abort();
  if (back != records) std::abort();
  return 0;
}
