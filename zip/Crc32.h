#pragma once
// CRC-32 of ISO 3309 / ZIP (reflected polynomial 0xEDB88320): folded with carry-less
// multiplication on x86-64 processors that have it, else sixteen bytes per table step.
#include <cstddef>
#include <cstdint>

namespace dkscr {

inline constexpr uint32_t kCrc32Start = 0xFFFFFFFFu;

// Advances a running register (start with kCrc32Start, complement at the end).
uint32_t Crc32Update(uint32_t running, const uint8_t* data, size_t size);
// The same by tables alone, whatever the processor offers.
uint32_t Crc32UpdatePortable(uint32_t running, const uint8_t* data, size_t size);

// The finished CRC-32 of one block.
inline uint32_t Crc32(const uint8_t* data, size_t size) {
  return ~Crc32Update(kCrc32Start, data, size);
}

}  // namespace dkscr
