#include "cfb/CfbStream.h"

#include <algorithm>
#include <cstring>

namespace dkscr {
namespace {

// Largest run of consecutive units read from the file in one go.
constexpr uint64_t kCacheBytes = 32 * 1024;

}  // namespace

CfbStream::CfbStream(std::shared_ptr<ByteSource> source, std::shared_ptr<const CfbStreamMap> map)
    : source_(std::move(source)), map_(std::move(map)) {}

std::unique_ptr<CfbStream> CfbStream::Duplicate() const { return std::make_unique<CfbStream>(source_, map_); }

bool CfbStream::LoadCache(uint64_t position) {
  const uint64_t unit = map_->unitSize;
  const size_t first = static_cast<size_t>(position / unit);
  // Units that follow each other in the file are read together.
  size_t last = first + 1;
  const size_t maxUnits = static_cast<size_t>(std::max<uint64_t>(1, kCacheBytes / unit));
  while (last < map_->unitOffsets.size() && last - first < maxUnits &&
         map_->unitOffsets[last] == map_->unitOffsets[first] + (last - first) * unit) {
    ++last;
  }
  const uint64_t start = first * unit;
  const size_t bytes = static_cast<size_t>(std::min<uint64_t>((last - first) * unit, map_->size - start));
  if (bytes > cacheCapacity_) {
    cache_ = std::make_unique_for_overwrite<uint8_t[]>(bytes);
    cacheCapacity_ = bytes;
  }
  cacheStart_ = start;
  cacheLength_ = source_->ReadAt(map_->unitOffsets[first], cache_.get(), bytes) == bytes ? bytes : 0;
  return cacheLength_ > 0;
}

size_t CfbStream::Read(void* buffer, size_t count) {
  if (position_ >= map_->size) return 0;
  const uint64_t wanted = std::min<uint64_t>(count, map_->size - position_);
  uint64_t done = 0;
  auto* out = static_cast<uint8_t*>(buffer);
  while (done < wanted) {
    if (position_ < cacheStart_ || position_ >= cacheStart_ + cacheLength_) {
      if (!LoadCache(position_)) break;
    }
    const uint64_t inCache = cacheStart_ + cacheLength_ - position_;
    const uint64_t n = std::min<uint64_t>(inCache, wanted - done);
    std::memcpy(out + done, cache_.get() + (position_ - cacheStart_), static_cast<size_t>(n));
    done += n;
    position_ += n;
  }
  return static_cast<size_t>(done);
}

size_t CfbStream::ReadAt(uint64_t position, void* buffer, size_t count) const {
  if (position >= map_->size) return 0;
  const uint64_t unit = map_->unitSize;
  const uint64_t wanted = std::min<uint64_t>(count, map_->size - position);
  auto* out = static_cast<uint8_t*>(buffer);
  uint64_t done = 0;
  while (done < wanted) {
    const uint64_t at = position + done;
    const size_t first = static_cast<size_t>(at / unit);
    // The units that follow the first in the file, as far as the bytes wanted reach.
    size_t last = first + 1;
    while (last < map_->unitOffsets.size() && (last - first) * unit < at % unit + (wanted - done) &&
           map_->unitOffsets[last] == map_->unitOffsets[first] + (last - first) * unit) {
      ++last;
    }
    const uint64_t n = std::min<uint64_t>((last - first) * unit - at % unit, wanted - done);
    const size_t got = source_->ReadAt(map_->unitOffsets[first] + at % unit, out + done, static_cast<size_t>(n));
    done += got;
    if (got < n) break;
  }
  return static_cast<size_t>(done);
}

}  // namespace dkscr
