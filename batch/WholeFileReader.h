#pragma once
// A source read whole with one read into a buffer that a worker keeps from file to file, so
// that the conversion reads memory and the digest of a record takes the very bytes converted,
// without opening and reading the file a second time.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "convert/Convert.h"
#include "platform/ByteSource.h"

namespace dkscr {

class WholeFileReader {
 public:
  // Files up to this size are read whole; larger ones are converted from the file, and their
  // digest is taken through the open file in pieces.
  static constexpr uint64_t kWholeReadLimit = 32u << 20;

  // `digest`: whether each source's SHA-256 is wanted.
  explicit WholeFileReader(bool digest) : digest_(digest) {}

  // The opener of one conversion (the converters' own when no digest is wanted and the file is
  // too large). Call Begin() before each conversion.
  SourceOpener Opener();
  void Begin() { sha256_.reset(); }
  // The digest in lowercase hexadecimal of the bytes the last conversion read, or none when
  // the file was not opened or could not be read whole.
  const std::optional<std::string>& Digest() const { return sha256_; }

  std::unique_ptr<ByteSource> Open(const std::string& nativePath, int& error);

 private:
  bool Reserve(size_t size);
  void DigestFromFile(ByteSource& file);

  const bool digest_;
  std::unique_ptr<uint8_t[]> buffer_;
  size_t capacity_ = 0;
  std::optional<std::string> sha256_;
};

}  // namespace dkscr
