#include "batch/WholeFileReader.h"

#include <algorithm>
#include <new>
#include <string_view>

#include "batch/SourceDigest.h"

namespace dkscr {
namespace {

constexpr size_t kDigestPiece = 1u << 20;  // read at a time when a large file is digested

}  // namespace

SourceOpener WholeFileReader::Opener() {
  return [this](const std::string& nativePath, int& error) { return Open(nativePath, error); };
}

bool WholeFileReader::Reserve(size_t size) {
  if (size <= capacity_) return true;
  // Grown in steps, so that a run of growing files does not allocate each time.
  const size_t grown = std::max(size, std::min<size_t>(capacity_ * 2, kWholeReadLimit));
  buffer_.reset();
  capacity_ = 0;
  buffer_.reset(new (std::nothrow) uint8_t[grown]);
  if (!buffer_) return false;
  capacity_ = grown;
  return true;
}

void WholeFileReader::DigestFromFile(ByteSource& file) {
  if (!Reserve(std::min<uint64_t>(kDigestPiece, std::max<uint64_t>(file.Size(), 1)))) return;
  const size_t piece = std::min(capacity_, kDigestPiece);
  Sha256 hash;
  for (uint64_t done = 0; done < file.Size();) {
    const size_t got = file.ReadAt(done, buffer_.get(), static_cast<size_t>(std::min<uint64_t>(piece, file.Size() - done)));
    if (got == 0) return;  // shorter than it said: not the bytes that were read
    hash.Update(buffer_.get(), got);
    done += got;
  }
  sha256_ = Sha256HexOf(hash.Finish());
}

std::unique_ptr<ByteSource> WholeFileReader::Open(const std::string& nativePath, int& error) {
  std::unique_ptr<ByteSource> file = ByteSource::OpenFile(nativePath, error);
  if (!file) return file;
  const uint64_t size = file->Size();
  if (size > kWholeReadLimit || !Reserve(static_cast<size_t>(std::max<uint64_t>(size, 1)))) {
    if (digest_) DigestFromFile(*file);
    return file;
  }
  // Past its end a read returns nothing: a file cut short while it is read converts from the
  // file, as it did before, and has no digest.
  if (file->ReadAt(0, buffer_.get(), static_cast<size_t>(size)) != size) return file;
  const std::string_view bytes(reinterpret_cast<const char*>(buffer_.get()), static_cast<size_t>(size));
  if (digest_) sha256_ = Sha256Hex(bytes);
  return ByteSource::OfMemory(bytes);
}

}  // namespace dkscr
