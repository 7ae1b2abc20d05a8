// Arbitrary bytes as an archive: reading the directory and extracting every entry by its
// name must end in a result or one of the reader's exceptions, within bounded memory.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "platform/ByteSource.h"
#include "zip/ZipReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::unique_ptr<dkscr::ByteSource> source =
      dkscr::ByteSource::OfMemory(std::string_view(reinterpret_cast<const char*>(data), size));
  dkscr::ZipReader zip(*source);
  try {
    zip.LoadDirectory();
  } catch (const dkscr::ZipError&) {
    return 0;
  }
  const int count = zip.EntryCount();
  if (count < 0 || (count > 0 && zip.Entries() == nullptr)) std::abort();
  std::string names;
  for (int i = 0; i < count && i < 64; ++i) {
    const dkscr::ZipEntry& e = (*zip.Entries())[static_cast<size_t>(i)];
    std::string stream;
    try {
      const int got = zip.ExtractToStream(stream, e.StoredPath());
      if (got < 0 || got > count) std::abort();
      // Each selected entry adds at most its declared size.
      if (got > 0 && stream.size() > static_cast<size_t>(got) * dkscr::ZipReader::kMaxEntrySize) {
        std::abort();
      }
    } catch (const dkscr::ZipError&) {
    }
  }
  std::string stream;
  try {
    zip.ExtractToStream(stream, "ppt\\slides\\slide1.xml");
  } catch (const dkscr::ZipError&) {
  }
  return 0;
}
