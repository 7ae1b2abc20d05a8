#pragma once
// Eight bytes looked at as one word, for the scans that pass over long runs of ordinary bytes
// a word at a time.
#include <cstdint>
#include <cstring>

namespace dkscr {

// A word whose every byte is `byte`.
constexpr uint64_t BytesOf(uint8_t byte) { return 0x0101010101010101u * byte; }

// The eight bytes at `p`, in the machine's order (the tests below do not depend on it).
inline uint64_t LoadWord(const void* p) {
  uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

// Nonzero when a byte of `word` is zero. The bytes equal to `b` are the zero bytes of
// word ^ BytesOf(b).
constexpr uint64_t HasZeroByte(uint64_t word) { return (word - BytesOf(1)) & ~word & BytesOf(0x80); }

}  // namespace dkscr
