#pragma once
// Loads of the little-endian fields of the formats read here (compound documents, PowerPoint
// records, ZIP headers, Deflate's bit stream). On a little-endian host each is one plain load;
// a big-endian host swaps the bytes, so the readers are correct on either.
#include <bit>
#include <cstdint>
#include <cstring>

namespace dkscr {

inline uint16_t LoadLe16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}

inline uint32_t LoadLe32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, sizeof v);
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap32(v);
  return v;
}

inline uint64_t LoadLe64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, sizeof v);
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
  return v;
}

}  // namespace dkscr
