#pragma once
// Raw Deflate decoding (RFC 1951): table-driven Huffman decoding over a 64-bit bit buffer,
// output straight into the caller's byte string, which is also the history window.
#include <cstddef>
#include <cstdint>
#include <string>

namespace dkscr {

enum class InflateStatus {
  kDone,         // the final block ended
  kInvalid,      // the data breaks the format
  kTruncated,    // the input ended before the final block did
  kOutputLimit,  // the output reached its limit before the final block ended
};

// Hands out compressed bytes piece by piece; 0 means there are no more.
class InflateSource {
 public:
  virtual ~InflateSource() = default;
  virtual size_t Read(uint8_t* buffer, size_t capacity) = 0;
};

// Appends the decoded stream to `out` (earlier contents are not part of the history) and never
// more than `limit` bytes. `sizeHint` sizes the first allocation (capped at `limit`); the
// output grows by doubling beyond it. On any status but kDone `out` holds what was decoded.
InflateStatus Inflate(InflateSource& source, std::string& out, size_t limit,
                      size_t sizeHint = 0);
InflateStatus InflateBuffer(const uint8_t* data, size_t size, std::string& out, size_t limit,
                            size_t sizeHint = 0);

}  // namespace dkscr
