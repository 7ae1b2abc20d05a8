#include "batch/SourceDigest.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "batch/Sha256Blocks.h"
#include "platform/ByteSource.h"

namespace dkscr {
std::string Sha256HexOf(const std::array<uint8_t, 32>& digest) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (const uint8_t b : digest) {
    out.push_back(kHex[b >> 4]);
    out.push_back(kHex[b & 0xF]);
  }
  return out;
}

Sha256::Sha256()
    : state_{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19} {}

void Sha256::Block(const uint8_t* block) { compress_(state_.data(), block, 1); }

void Sha256::Update(const void* data, size_t size) {
  const auto* p = static_cast<const uint8_t*>(data);
  length_ += size;
  if (buffered_ > 0) {
    const size_t take = std::min(size, 64 - buffered_);
    std::copy(p, p + take, buffer_.begin() + static_cast<std::ptrdiff_t>(buffered_));
    buffered_ += take;
    p += take;
    size -= take;
    if (buffered_ < 64) return;
    Block(buffer_.data());
    buffered_ = 0;
  }
  // Whole blocks straight from the caller's bytes, all in one call.
  if (const size_t blocks = size / 64; blocks > 0) {
    compress_(state_.data(), p, blocks);
    p += blocks * 64;
    size -= blocks * 64;
  }
  std::copy(p, p + size, buffer_.begin());
  buffered_ = size;
}

std::array<uint8_t, 32> Sha256::Finish() {
  const uint64_t bits = length_ * 8;
  const uint8_t one = 0x80;
  Update(&one, 1);
  const uint8_t zero = 0;
  while (buffered_ != 56) Update(&zero, 1);
  uint8_t tail[8];
  for (int i = 0; i < 8; ++i) tail[i] = static_cast<uint8_t>(bits >> (56 - 8 * i));
  Update(tail, 8);
  std::array<uint8_t, 32> digest;
  for (size_t i = 0; i < 8; ++i) {
    for (size_t b = 0; b < 4; ++b) digest[4 * i + b] = static_cast<uint8_t>(state_[i] >> (24 - 8 * b));
  }
  return digest;
}

std::string Sha256Hex(std::string_view bytes) {
  Sha256 hash;
  hash.Update(bytes.data(), bytes.size());
  return Sha256HexOf(hash.Finish());
}

std::optional<std::string> FileSha256Hex(const std::string& nativePath) {
  int error = 0;
  const std::unique_ptr<ByteSource> source = ByteSource::OpenFile(nativePath, error);
  if (!source) return std::nullopt;
  Sha256 hash;
  std::vector<uint8_t> buffer(1 << 16);
  uint64_t done = 0;
  while (done < source->Size()) {
    const size_t n = source->ReadAt(done, buffer.data(), buffer.size());
    if (n == 0) return std::nullopt;  // shorter than it said: not the bytes that were read
    hash.Update(buffer.data(), n);
    done += n;
  }
  return Sha256HexOf(hash.Finish());
}

}  // namespace dkscr
