// The compound-document reader on arbitrary bytes: opening, stream lookup and reading with
// seeks must never crash, hang or read outside what a stream holds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "cfb/CfbStream.h"
#include "cfb/CompoundFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view image(reinterpret_cast<const char*>(data), size);
  std::string error;
  auto file = dkscr::CompoundFile::Open(dkscr::ByteSource::OfMemory(image), error);
  if (!file) return 0;
  for (std::u16string_view name : {u"PowerPoint Document", u"Current User", u"WordDocument", u"\u0005SummaryInformation"}) {
    auto stream = file->OpenStream(name);
    if (!stream) continue;
    const uint64_t streamSize = stream->Size();
    if (streamSize > size) std::abort();  // backed by the file
    char buf[300];
    uint64_t total = 0;
    size_t n;
    while ((n = stream->Read(buf, sizeof buf)) > 0) total += n;
    if (total != streamSize) std::abort();
    stream->Seek(streamSize / 3);
    if (stream->Read(buf, 17) > 17 || stream->Position() > streamSize) std::abort();
  }
  return 0;
}
