#include "openxml/Crc32.h"

#include <array>

#include "core/LittleEndian.h"

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

}  // namespace

uint32_t Crc32Update(uint32_t running, const uint8_t* data, size_t size) {
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

}  // namespace dkscr
