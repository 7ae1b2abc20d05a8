#pragma once
// One stream of a compound file, read-only, and where its bytes lie: a position of its own and
// a cache of the units last read, so that the records of a stream are read a run of sectors
// at a time.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/ByteSource.h"

namespace dkscr {

// Where the bytes of one stream lie in the file: units of equal size (a sector, or a mini
// sector of 64 bytes), each at a file offset. Every byte below size is backed by the file.
struct CfbStreamMap {
  uint64_t size = 0;
  uint32_t unitSize = 512;
  std::vector<uint64_t> unitOffsets;
};

class CfbStream {
 public:
  // Reads the units of `map` from `source`; both are shared with the file the stream came from.
  CfbStream(std::shared_ptr<ByteSource> source, std::shared_ptr<const CfbStreamMap> map);
  CfbStream(const CfbStream&) = delete;
  CfbStream& operator=(const CfbStream&) = delete;

  uint64_t Size() const { return map_->size; }
  uint64_t Position() const { return position_; }
  // Any position may be set; reads past the end give nothing.
  void Seek(uint64_t position) { position_ = position; }
  void Skip(uint64_t count) { position_ = count > UINT64_MAX - position_ ? UINT64_MAX : position_ + count; }
  // Reads up to `count` bytes at the position and moves past them: fewer at the end, and
  // none when the file cannot deliver them.
  size_t Read(void* buffer, size_t count);

  // The next `count` bytes where the cache already holds them all, moved past without a copy;
  // none, and the position kept, where it does not (Read then fetches them). The bytes stay
  // valid until the stream is next read.
  std::span<const uint8_t> ReadCached(size_t count) {
    // A position before the cache wraps round to one far beyond it.
    const uint64_t into = position_ - cacheStart_;
    if (into > cacheLength_ || count > cacheLength_ - into) return {};
    const uint8_t* const at = cache_.get() + into;
    position_ += count;
    return {at, count};
  }

  // Reads up to `count` bytes at `position` straight from the file, the position and the cache
  // left as they are: for a reader of a few small pieces far apart, which a run of units read
  // ahead would not serve.
  size_t ReadAt(uint64_t position, void* buffer, size_t count) const;

  // A second reader of the same stream, at its start, with a position and cache of its own:
  // two places of one stream read in turn without either losing its cache.
  std::unique_ptr<CfbStream> Duplicate() const;

 private:
  bool LoadCache(uint64_t position);

  std::shared_ptr<ByteSource> source_;
  std::shared_ptr<const CfbStreamMap> map_;  // shared with duplicates
  uint64_t position_ = 0;
  // Bytes of the stream from cacheStart_, read from the file a run of units at a time.
  std::unique_ptr<uint8_t[]> cache_;  // not zeroed: only its first cacheLength_ bytes are used
  size_t cacheCapacity_ = 0;
  size_t cacheLength_ = 0;
  uint64_t cacheStart_ = 0;
};

}  // namespace dkscr
