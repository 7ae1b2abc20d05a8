#include "zip/Crc32.h"

#include <array>

#include "platform/LittleEndian.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define DKSCR_CRC32_CLMUL 1
#include <immintrin.h>
#else
#define DKSCR_CRC32_CLMUL 0
#endif

namespace dkscr {
namespace {

using Tables = std::array<std::array<uint32_t, 256>, 16>;

// tables[k][b]: the register after byte b followed by k zero bytes.
constexpr Tables MakeTables() {
  Tables t{};
  for (uint32_t b = 0; b < 256; ++b) {
    uint32_t c = b;
    for (int i = 0; i < 8; ++i) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
    t[0][b] = c;
  }
  for (uint32_t b = 0; b < 256; ++b) {
    for (size_t k = 1; k < 16; ++k) t[k][b] = (t[k - 1][b] >> 8) ^ t[0][t[k - 1][b] & 0xFF];
  }
  return t;
}

constexpr Tables kTables = MakeTables();

#if DKSCR_CRC32_CLMUL
// Folding with carry-less multiplication. A 16-byte lane loaded little-endian holds the
// message bits with the first bit in bit 0, i.e. bit k stands for x^(127-k) at the lane's
// place; its first eight bytes are H, the last eight L, so the lane is H*x^64 + L. Moving the
// lane D bits further on multiplies it by x^D, which mod P is H*(x^(D+64) mod P) + L*(x^D mod
// P): two 64x64 products no wider than a lane. The product of two such reflected halves comes
// out multiplied by x once more, so the multipliers are x^(D+63) and x^(D-1) mod P.

// x^n mod P, P = x^32 + ... + 1 (0x104C11DB7), bit i for x^i.
constexpr uint64_t PowerModP(unsigned n) {
  uint64_t r = 1;
  for (unsigned i = 0; i < n; ++i) {
    r <<= 1;
    if (r & (uint64_t{1} << 32)) r ^= 0x104C11DB7u;
  }
  return r;
}

// The same polynomial with bit j for x^(63-j), as a reflected half holds it.
constexpr uint64_t Reflect64(uint64_t v) {
  uint64_t r = 0;
  for (int i = 0; i < 64; ++i) r |= ((v >> i) & 1) << (63 - i);
  return r;
}

struct FoldMultipliers {
  uint64_t forHigh;  // multiplies H, the lane's first eight bytes
  uint64_t forLow;
};

constexpr FoldMultipliers MultipliersFor(unsigned distanceBits) {
  return {Reflect64(PowerModP(distanceBits + 63)), Reflect64(PowerModP(distanceBits - 1))};
}

constexpr FoldMultipliers kFold512 = MultipliersFor(512);  // four lanes on, the main loop
constexpr FoldMultipliers kFold384 = MultipliersFor(384);
constexpr FoldMultipliers kFold256 = MultipliersFor(256);
constexpr FoldMultipliers kFold128 = MultipliersFor(128);

__attribute__((target("pclmul"))) inline __m128i Fold(__m128i lane, FoldMultipliers k) {
  const __m128i m = _mm_set_epi64x(static_cast<long long>(k.forLow),
                                   static_cast<long long>(k.forHigh));
  return _mm_xor_si128(_mm_clmulepi64_si128(lane, m, 0x00), _mm_clmulepi64_si128(lane, m, 0x11));
}

inline __m128i Load(const uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// Takes `size` bytes, a multiple of 16 and at least 64. The running register enters as the
// first four message bytes' complement mask (for a reflected CRC the two are the same thing);
// the one lane left at the end goes through the tables from a zero register.
__attribute__((target("pclmul"))) uint32_t FoldUpdate(uint32_t running, const uint8_t* data,
                                                      size_t size) {
  __m128i a = _mm_xor_si128(Load(data), _mm_cvtsi32_si128(static_cast<int>(running)));
  __m128i b = Load(data + 16);
  __m128i c = Load(data + 32);
  __m128i d = Load(data + 48);
  data += 64;
  size -= 64;
  for (; size >= 64; data += 64, size -= 64) {
    a = _mm_xor_si128(Fold(a, kFold512), Load(data));
    b = _mm_xor_si128(Fold(b, kFold512), Load(data + 16));
    c = _mm_xor_si128(Fold(c, kFold512), Load(data + 32));
    d = _mm_xor_si128(Fold(d, kFold512), Load(data + 48));
  }
  __m128i lane = _mm_xor_si128(_mm_xor_si128(Fold(a, kFold384), Fold(b, kFold256)),
                               _mm_xor_si128(Fold(c, kFold128), d));
  for (; size >= 16; data += 16, size -= 16) lane = _mm_xor_si128(Fold(lane, kFold128), Load(data));
  alignas(16) uint8_t bytes[16];
  _mm_store_si128(reinterpret_cast<__m128i*>(bytes), lane);
  return Crc32UpdatePortable(0, bytes, 16);
}

bool HasCarrylessMultiply() {
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("pclmul") != 0;
  }();
  return has;
}

// Below this the tables are as quick as setting up the lanes.
constexpr size_t kFoldMinimum = 64;
#endif

}  // namespace

uint32_t Crc32UpdatePortable(uint32_t running, const uint8_t* data, size_t size) {
  uint32_t c = running;
  const auto& t = kTables;
  while (size >= 16) {
    const uint32_t a = LoadLe32(data) ^ c;
    const uint32_t b = LoadLe32(data + 4);
    const uint32_t d = LoadLe32(data + 8);
    const uint32_t e = LoadLe32(data + 12);
    c = t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^ t[12][a >> 24] ^
        t[11][b & 0xFF] ^ t[10][(b >> 8) & 0xFF] ^ t[9][(b >> 16) & 0xFF] ^ t[8][b >> 24] ^
        t[7][d & 0xFF] ^ t[6][(d >> 8) & 0xFF] ^ t[5][(d >> 16) & 0xFF] ^ t[4][d >> 24] ^
        t[3][e & 0xFF] ^ t[2][(e >> 8) & 0xFF] ^ t[1][(e >> 16) & 0xFF] ^ t[0][e >> 24];
    data += 16;
    size -= 16;
  }
  while (size-- > 0) c = (c >> 8) ^ t[0][(c ^ *data++) & 0xFF];
  return c;
}

uint32_t Crc32Update(uint32_t running, const uint8_t* data, size_t size) {
#if DKSCR_CRC32_CLMUL
  if (size >= kFoldMinimum && HasCarrylessMultiply()) {
    const size_t folded = size & ~size_t{15};
    running = FoldUpdate(running, data, folded);
    data += folded;
    size -= folded;
  }
#endif
  return Crc32UpdatePortable(running, data, size);
}

}  // namespace dkscr
