#pragma once
// A source read whole with one read into a buffer that a worker keeps from file to file, so
// that the conversion reads memory and the digest of a record takes the very bytes converted,
// without opening and reading the file a second time. A buffer may be handed over to another
// thread (which digests the bytes while the worker goes on) and comes back through a pool.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/Convert.h"
#include "platform/ByteSource.h"

namespace dkscr {

struct SourceBuffer {
  std::unique_ptr<uint8_t[]> data;
  size_t capacity = 0;
  size_t size = 0;  // bytes of the source in it
  std::string_view Bytes() const { return {reinterpret_cast<const char*>(data.get()), size}; }
};

// Buffers handed back by the threads that took them, kept for the next files.
class SourceBufferPool {
 public:
  // Keeps up to `keep` buffers of at most `largest` bytes; others are freed.
  SourceBufferPool(size_t keep, size_t largest) : keep_(keep), largest_(largest) {}
  // A buffer of at least `size` bytes (none when memory runs out).
  SourceBuffer Take(size_t size);
  void Give(SourceBuffer buffer);

 private:
  const size_t keep_;
  const size_t largest_;
  std::mutex mutex_;
  std::vector<SourceBuffer> free_;
};

class WholeFileReader {
 public:
  // Files up to this size are read whole; larger ones are converted from the file, and their
  // digest is taken through the open file in pieces.
  static constexpr uint64_t kWholeReadLimit = 32u << 20;
  // A buffer grown past this for one file is freed before the next: what stays per worker.
  static constexpr size_t kKeptBytes = 4u << 20;

  // `digest`: whether each source's SHA-256 is wanted. `pool`, when given, outlives the reader.
  explicit WholeFileReader(bool digest, SourceBufferPool* pool = nullptr, uint64_t wholeReadLimit = kWholeReadLimit)
      : digest_(digest), pool_(pool), limit_(wholeReadLimit) {}

  // The opener of one conversion. Call Begin() before each conversion.
  SourceOpener Opener();
  void Begin();
  std::unique_ptr<ByteSource> Open(const std::string& nativePath, int& error);

  // Whether the last source opened was read whole: its bytes stay in the buffer until the
  // next Begin().
  bool ReadWhole() const { return whole_; }
  size_t WholeSize() const { return buffer_.size; }
  // The digest in lowercase hexadecimal of the bytes the last conversion read, or none when
  // the file was not opened or could not be read whole.
  const std::optional<std::string>& Digest();
  // The buffer with the bytes read whole, to digest elsewhere; the reader takes another from
  // the pool for the next file.
  SourceBuffer TakeBuffer();

 private:
  bool Reserve(size_t size);
  void DigestFromFile(ByteSource& file);

  const bool digest_;
  SourceBufferPool* const pool_;
  const uint64_t limit_;
  SourceBuffer buffer_;
  bool whole_ = false;
  std::optional<std::string> sha256_;
};

}  // namespace dkscr
