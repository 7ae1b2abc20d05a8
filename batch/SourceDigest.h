#pragma once
// The SHA-256 digest (FIPS 180-4) of a source's bytes, for records that callers deduplicate
// and re-index by.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "batch/Sha256Blocks.h"

namespace dkscr {

class Sha256 {
 public:
  Sha256();
  void Update(const void* data, size_t size);
  std::array<uint8_t, 32> Finish();

 private:
  void Block(const uint8_t* block);

  Sha256BlocksFunction compress_ = Sha256Blocks();
  std::array<uint32_t, 8> state_;
  std::array<uint8_t, 64> buffer_{};
  size_t buffered_ = 0;
  uint64_t length_ = 0;  // bytes taken
};

// The digest of the bytes as 64 lowercase hex digits.
std::string Sha256Hex(std::string_view bytes);
std::string Sha256HexOf(const std::array<uint8_t, 32>& digest);

// The digest of the regular file at the path, or none when it cannot be read whole.
std::optional<std::string> FileSha256Hex(const std::string& nativePath);

}  // namespace dkscr
