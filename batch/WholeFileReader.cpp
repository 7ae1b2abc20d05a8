#include "batch/WholeFileReader.h"

#include <algorithm>
#include <new>
#include <utility>

#include "batch/SourceDigest.h"

namespace dkscr {
namespace {

constexpr size_t kDigestPiece = 1u << 20;  // read at a time when a large file is digested

SourceBuffer Allocate(size_t size) {
  SourceBuffer buffer;
  buffer.data.reset(new (std::nothrow) uint8_t[size]);
  if (buffer.data) buffer.capacity = size;
  return buffer;
}

}  // namespace

SourceBuffer SourceBufferPool::Take(size_t size) {
  {
    std::lock_guard lock(mutex_);
    for (auto it = free_.begin(); it != free_.end(); ++it) {
      if (it->capacity >= size) {
        SourceBuffer found = std::move(*it);
        free_.erase(it);
        return found;
      }
    }
  }
  return Allocate(size);
}

void SourceBufferPool::Give(SourceBuffer buffer) {
  if (!buffer.data || buffer.capacity > largest_) return;
  buffer.size = 0;
  std::lock_guard lock(mutex_);
  if (free_.size() < keep_) free_.push_back(std::move(buffer));
}

SourceOpener WholeFileReader::Opener() {
  return [this](const std::string& nativePath, int& error) { return Open(nativePath, error); };
}

void WholeFileReader::Begin() {
  whole_ = false;
  buffer_.size = 0;
  sha256_.reset();
  if (buffer_.capacity > kKeptBytes) buffer_ = SourceBuffer{};
}

bool WholeFileReader::Reserve(size_t size) {
  if (size <= buffer_.capacity) return true;
  // Grown in steps, so that a run of growing files does not allocate each time.
  const size_t grown = std::max(size, std::min<size_t>(buffer_.capacity * 2, kKeptBytes));
  if (pool_ != nullptr) pool_->Give(std::move(buffer_));
  buffer_ = SourceBuffer{};
  buffer_ = pool_ != nullptr ? pool_->Take(grown) : Allocate(grown);
  return buffer_.capacity >= size;
}

void WholeFileReader::DigestFromFile(ByteSource& file) {
  if (!Reserve(std::min<uint64_t>(kDigestPiece, std::max<uint64_t>(file.Size(), 1)))) return;
  const size_t piece = std::min(buffer_.capacity, kDigestPiece);
  Sha256 hash;
  for (uint64_t done = 0; done < file.Size();) {
    const size_t got =
        file.ReadAt(done, buffer_.data.get(), static_cast<size_t>(std::min<uint64_t>(piece, file.Size() - done)));
    if (got == 0) return;  // shorter than it said: not the bytes that were read
    hash.Update(buffer_.data.get(), got);
    done += got;
  }
  sha256_ = Sha256HexOf(hash.Finish());
}

std::unique_ptr<ByteSource> WholeFileReader::Open(const std::string& nativePath, int& error) {
  std::unique_ptr<ByteSource> file = ByteSource::OpenFile(nativePath, error);
  if (!file) return file;
  const uint64_t size = file->Size();
  if (size > limit_ || !Reserve(static_cast<size_t>(std::max<uint64_t>(size, 1)))) {
    if (digest_) DigestFromFile(*file);
    return file;
  }
  // Past its end a read returns nothing: a file cut short while it is read converts from the
  // file, as it did before, and has no digest.
  if (file->ReadAt(0, buffer_.data.get(), static_cast<size_t>(size)) != size) return file;
  buffer_.size = static_cast<size_t>(size);
  whole_ = true;
  return ByteSource::OfMemory(buffer_.Bytes());
}

const std::optional<std::string>& WholeFileReader::Digest() {
  if (whole_ && digest_ && !sha256_) sha256_ = Sha256Hex(buffer_.Bytes());
  return sha256_;
}

SourceBuffer WholeFileReader::TakeBuffer() {
  SourceBuffer taken = std::move(buffer_);
  buffer_ = SourceBuffer{};
  whole_ = false;
  return taken;
}

}  // namespace dkscr
