#pragma once
// Test-side writer of compound documents ([MS-CFB]), header-only. It lays out a file from a
// list of root-level streams so that tests know exactly where every structure lies and can
// damage it on purpose.
//
//   std::string file = dkscr::test::BuildCfb({{u"Current User", cu}, {u"PowerPoint Document", doc}});
//   dkscr::test::CfbImage image = dkscr::test::BuildCfbImage(streams, {.version = 4});
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace dkscr::test {

inline constexpr uint32_t kCfbFreeSect = 0xFFFFFFFF;
inline constexpr uint32_t kCfbEndOfChain = 0xFFFFFFFE;
inline constexpr uint32_t kCfbFatSect = 0xFFFFFFFD;
inline constexpr uint32_t kCfbDifSect = 0xFFFFFFFC;
inline constexpr uint32_t kCfbNoStream = 0xFFFFFFFF;

// One stream of the root storage. A stream below 4096 bytes goes to the mini stream.
struct CfbStream {
  std::u16string name;
  std::string data;
};

struct CfbOptions {
  int version = 3;               // 3: 512-byte sectors, 4: 4096-byte sectors
  uint32_t extraFatSectors = 0;  // empty FAT sectors added, e.g. to force DIFAT sectors
};

// Where the writer put things: sector ids, and byte offsets of the header fields' targets.
struct CfbImage {
  std::string bytes;
  uint32_t sectorSize = 512;
  std::vector<uint32_t> fatSectors;
  std::vector<uint32_t> difatSectors;
  uint32_t firstDirSector = kCfbEndOfChain;
  uint32_t firstMiniFatSector = kCfbEndOfChain;
  uint32_t miniStreamStart = kCfbEndOfChain;
  // Per input stream: its directory entry index and its first (mini) sector.
  std::vector<uint32_t> entryIndex;
  std::vector<uint32_t> startSector;

  size_t SectorOffset(uint32_t sector) const { return (static_cast<size_t>(sector) + 1) * sectorSize; }
  // Byte offset of directory entry i (the directory is written in consecutive sectors).
  size_t EntryOffset(uint32_t i) const { return SectorOffset(firstDirSector) + i * 128u; }
  // Byte offset of the FAT entry for a sector (FAT sectors are written consecutively).
  size_t FatEntryOffset(uint32_t sector) const {
    return SectorOffset(fatSectors[0]) + static_cast<size_t>(sector) * 4u;
  }
};

inline void PutLe16(std::string& b, size_t at, uint16_t v) {
  b[at] = static_cast<char>(v & 0xFF);
  b[at + 1] = static_cast<char>(v >> 8);
}
inline void PutLe32(std::string& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
inline void PutLe64(std::string& b, size_t at, uint64_t v) {
  for (int i = 0; i < 8; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Names sort by length first, then by upper-cased code units (ASCII is enough for tests).
inline int CfbCompareNames(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  for (size_t i = 0; i < a.size(); ++i) {
    char16_t x = a[i], y = b[i];
    if (x >= u'a' && x <= u'z') x = static_cast<char16_t>(x - 32);
    if (y >= u'a' && y <= u'z') y = static_cast<char16_t>(y - 32);
    if (x != y) return x < y ? -1 : 1;
  }
  return 0;
}

inline CfbImage BuildCfbImage(const std::vector<CfbStream>& streams, const CfbOptions& options = {}) {
  CfbImage img;
  const uint32_t S = options.version == 4 ? 4096u : 512u;
  img.sectorSize = S;
  const uint32_t perSector = S / 4;
  auto sectorsFor = [S](size_t bytes) { return static_cast<uint32_t>((bytes + S - 1) / S); };

  std::vector<uint32_t> fat;  // grows as sectors are allocated
  auto allocChain = [&fat](uint32_t count) {
    if (count == 0) return kCfbEndOfChain;
    const uint32_t first = static_cast<uint32_t>(fat.size());
    for (uint32_t i = 0; i < count; ++i) fat.push_back(i + 1 < count ? first + i + 1 : kCfbEndOfChain);
    return first;
  };

  // Small streams into the mini stream, 64-byte units.
  std::string mini;
  std::vector<uint32_t> miniFat;
  img.startSector.assign(streams.size(), kCfbEndOfChain);
  std::vector<std::pair<uint32_t, const std::string*>> bigStreams;
  for (size_t i = 0; i < streams.size(); ++i) {
    const std::string& d = streams[i].data;
    if (d.empty()) continue;
    if (d.size() < 4096) {
      const uint32_t units = static_cast<uint32_t>((d.size() + 63) / 64);
      const uint32_t first = static_cast<uint32_t>(miniFat.size());
      for (uint32_t u = 0; u < units; ++u) miniFat.push_back(u + 1 < units ? first + u + 1 : kCfbEndOfChain);
      img.startSector[i] = first;
      mini += d;
      mini.resize(static_cast<size_t>(first + units) * 64, '\0');
    } else {
      img.startSector[i] = allocChain(sectorsFor(d.size()));
      bigStreams.emplace_back(img.startSector[i], &d);
    }
  }
  img.miniStreamStart = allocChain(sectorsFor(mini.size()));

  // Directory: root, then the streams in input order; the tree is balanced by name.
  const uint32_t entries = static_cast<uint32_t>(streams.size() + 1);
  const uint32_t dirSectors = sectorsFor(static_cast<size_t>(entries) * 128);
  img.firstDirSector = allocChain(dirSectors);
  const uint32_t miniFatSectors = sectorsFor(miniFat.size() * 4);
  img.firstMiniFatSector = allocChain(miniFatSectors);

  // FAT and DIFAT sectors must cover themselves.
  const uint32_t used = static_cast<uint32_t>(fat.size());
  uint32_t f = 1, d = 0;
  for (;;) {
    const uint32_t need = f > 109 ? (f - 109 + perSector - 2) / (perSector - 1) : 0;
    d = need;
    if (static_cast<uint64_t>(f) * perSector >= used + f + d) break;
    ++f;
  }
  f += options.extraFatSectors;
  d = f > 109 ? (f - 109 + perSector - 2) / (perSector - 1) : 0;
  for (uint32_t i = 0; i < f; ++i) {
    img.fatSectors.push_back(static_cast<uint32_t>(fat.size()));
    fat.push_back(kCfbFatSect);
  }
  for (uint32_t i = 0; i < d; ++i) {
    img.difatSectors.push_back(static_cast<uint32_t>(fat.size()));
    fat.push_back(kCfbDifSect);
  }
  const uint32_t total = static_cast<uint32_t>(fat.size());
  fat.resize(static_cast<size_t>(f) * perSector, kCfbFreeSect);

  std::string& b = img.bytes;
  b.assign((static_cast<size_t>(total) + 1) * S, '\0');
  // Header.
  static const unsigned char kSig[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  std::memcpy(b.data(), kSig, 8);
  PutLe16(b, 24, 0x003E);
  PutLe16(b, 26, static_cast<uint16_t>(options.version));
  PutLe16(b, 28, 0xFFFE);
  PutLe16(b, 30, options.version == 4 ? 12 : 9);
  PutLe16(b, 32, 6);
  PutLe32(b, 40, options.version == 4 ? dirSectors : 0);
  PutLe32(b, 44, f);
  PutLe32(b, 48, img.firstDirSector);
  PutLe32(b, 56, 4096);
  PutLe32(b, 60, img.firstMiniFatSector);
  PutLe32(b, 64, miniFatSectors);
  PutLe32(b, 68, d > 0 ? img.difatSectors[0] : kCfbEndOfChain);
  PutLe32(b, 72, d);
  for (uint32_t i = 0; i < 109; ++i) PutLe32(b, 76 + i * 4, i < f ? img.fatSectors[i] : kCfbFreeSect);
  // DIFAT sectors: perSector - 1 FAT sector ids each, then the next DIFAT sector.
  for (uint32_t k = 0; k < d; ++k) {
    const size_t at = img.SectorOffset(img.difatSectors[k]);
    for (uint32_t j = 0; j + 1 < perSector; ++j) {
      const uint32_t idx = 109 + k * (perSector - 1) + j;
      PutLe32(b, at + j * 4, idx < f ? img.fatSectors[idx] : kCfbFreeSect);
    }
    PutLe32(b, at + (perSector - 1) * 4, k + 1 < d ? img.difatSectors[k + 1] : kCfbEndOfChain);
  }
  // FAT.
  for (size_t i = 0; i < fat.size(); ++i) PutLe32(b, img.SectorOffset(img.fatSectors[i / perSector]) + (i % perSector) * 4, fat[i]);
  // Data.
  for (auto& [start, data] : bigStreams) std::memcpy(b.data() + img.SectorOffset(start), data->data(), data->size());
  if (!mini.empty()) {
    for (size_t off = 0; off < mini.size(); off += S) {
      std::memcpy(b.data() + img.SectorOffset(img.miniStreamStart + static_cast<uint32_t>(off / S)),
                  mini.data() + off, std::min<size_t>(S, mini.size() - off));
    }
  }
  for (size_t i = 0; i < miniFat.size(); ++i) {
    PutLe32(b, img.SectorOffset(img.firstMiniFatSector) + i * 4, miniFat[i]);
  }
  if (miniFatSectors > 0) {  // unused mini FAT entries are free
    for (size_t i = miniFat.size(); i < static_cast<size_t>(miniFatSectors) * perSector; ++i) {
      PutLe32(b, img.SectorOffset(img.firstMiniFatSector) + i * 4, kCfbFreeSect);
    }
  }
  // Directory entries, unused slots included.
  for (uint32_t i = 0; i < dirSectors * (S / 128); ++i) {
    const size_t at = img.EntryOffset(i);
    PutLe32(b, at + 68, kCfbNoStream);
    PutLe32(b, at + 72, kCfbNoStream);
    PutLe32(b, at + 76, kCfbNoStream);
  }
  auto writeEntry = [&](uint32_t i, std::u16string_view name, uint8_t type, uint32_t start, uint64_t size) {
    const size_t at = img.EntryOffset(i);
    const size_t n = std::min<size_t>(name.size(), 31);
    for (size_t c = 0; c < n; ++c) PutLe16(b, at + c * 2, name[c]);
    PutLe16(b, at + 64, static_cast<uint16_t>((n + 1) * 2));
    b[at + 66] = static_cast<char>(type);
    b[at + 67] = 1;  // black
    PutLe32(b, at + 116, start);
    PutLe64(b, at + 120, size);
  };
  writeEntry(0, u"Root Entry", 5, mini.empty() ? kCfbEndOfChain : img.miniStreamStart, mini.size());
  for (uint32_t i = 0; i < streams.size(); ++i) {
    img.entryIndex.push_back(i + 1);
    writeEntry(i + 1, streams[i].name, 2, img.startSector[i], streams[i].data.size());
  }
  std::vector<uint32_t> order(streams.size());
  for (uint32_t i = 0; i < order.size(); ++i) order[i] = i + 1;
  std::sort(order.begin(), order.end(), [&](uint32_t x, uint32_t y) {
    return CfbCompareNames(streams[x - 1].name, streams[y - 1].name) < 0;
  });
  std::function<uint32_t(size_t, size_t)> balance = [&](size_t lo, size_t hi) -> uint32_t {
    if (lo >= hi) return kCfbNoStream;
    const size_t mid = (lo + hi) / 2;
    const size_t at = img.EntryOffset(order[mid]);
    PutLe32(b, at + 68, balance(lo, mid));
    PutLe32(b, at + 72, balance(mid + 1, hi));
    return order[mid];
  };
  PutLe32(b, img.EntryOffset(0) + 76, balance(0, order.size()));
  return img;
}

inline std::string BuildCfb(const std::vector<CfbStream>& streams, int version = 3) {
  CfbOptions options;
  options.version = version;
  return BuildCfbImage(streams, options).bytes;
}

}  // namespace dkscr::test
