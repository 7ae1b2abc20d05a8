// The compound-document reader on arbitrary bytes: opening, stream lookup and reading with
// seeks must never crash, hang or read outside what a stream holds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/DocFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view image(reinterpret_cast<const char*>(data), size);
  const int32_t check = dkscr::CheckDocImage(image);
  auto storage = dkscr::OpenDocImage(image, dkscr::kStgmReadShareExclusive);
  if ((check == 0) != (storage != nullptr)) std::abort();
  if (!storage) return 0;
  for (std::u16string_view name : {u"PowerPoint Document", u"Current User", u"WordDocument", u"\u0005SummaryInformation"}) {
    auto stream = storage->OpenStream(name, dkscr::kStgmReadShareExclusive);
    if (!stream) continue;
    const int64_t streamSize = stream->GetSize();
    if (streamSize < 0 || static_cast<uint64_t>(streamSize) > size) std::abort();  // backed by the file
    char buf[300];
    int64_t total = 0;
    int32_t n;
    while ((n = stream->Read(buf, sizeof buf)) > 0) total += n;
    if (n < 0 || total != streamSize) std::abort();
    if (stream->Seek(static_cast<int32_t>(streamSize / 3), dkscr::kSeekFromStart) != streamSize / 3) std::abort();
    if (stream->Read(buf, 17) < 0) std::abort();
    if (stream->Seek(-1, dkscr::kSeekFromStart) != -1) std::abort();
  }
  return 0;
}
