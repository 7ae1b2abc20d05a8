// Arbitrary bytes as an archive file: reading the directory and extracting every entry by its
// name must end in a result or one of the reader's exceptions, within bounded memory.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/NativePath.h"
#include "openxml/KelUnZip.h"

namespace {

const std::string& ScratchPath() {
  static const std::string path = "/tmp/dkscr-zip-fuzz-" + std::to_string(::getpid()) + ".zip";
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* f = std::fopen(ScratchPath().c_str(), "wb");
  if (f == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);

  dkscr::ZipReader zip;
  zip.SetZipName(dkscr::PathFromNative(ScratchPath()));
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
