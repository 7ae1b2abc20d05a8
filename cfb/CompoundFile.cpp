#include "cfb/CompoundFile.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <locale.h>
#include <wctype.h>
#endif

#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/LittleEndian.h"

namespace dkscr {
namespace {

constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kNoStream = 0xFFFFFFFF;
constexpr uint32_t kMaxRegularSector = 0xFFFFFFFA;
constexpr uint32_t kMiniSectorSize = 64;
constexpr uint64_t kMiniStreamCutoff = 4096;
constexpr uint32_t kHeaderDifatEntries = 109;
constexpr uint8_t kTypeStream = 2;
constexpr uint8_t kTypeRoot = 5;
constexpr unsigned char kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};


// Names compare after simple upper-casing of every code unit, as the format prescribes.
char16_t UpperUnit(char16_t c) {
  if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
  if (c >= 0xD800 && c <= 0xDFFF) return c;
#ifdef _WIN32
  // The system's own upper-casing, which knows no language (the invariant locale).
  const wchar_t unit = c;
  wchar_t upper = c;
  if (::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, &unit, 1, &upper, 1, nullptr, nullptr, 0) != 1) {
    return c;
  }
  return static_cast<char16_t>(upper);
#else
  static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
  if (utf8 == static_cast<locale_t>(nullptr)) return c;
  const wint_t upper = towupper_l(static_cast<wint_t>(c), utf8);
  return upper <= 0xFFFF ? static_cast<char16_t>(upper) : c;
#endif
}

bool NamesEqual(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    // Units that are the same need no upper-casing, which may ask the system.
    if (a[i] != b[i] && UpperUnit(a[i]) != UpperUnit(b[i])) return false;
  }
  return true;
}

}  // namespace

std::shared_ptr<CompoundFile> CompoundFile::Open(std::unique_ptr<ByteSource> source, std::string& error) {
  if (!source) {
    error = "No file";
    return nullptr;
  }
  std::shared_ptr<CompoundFile> file(new CompoundFile(std::move(source)));
  if (!file->Parse(error)) return nullptr;
  return file;
}

size_t CompoundFile::ReadAt(uint64_t offset, void* buffer, size_t count) {
  if (offset >= fileSize_) return 0;
  return source_->ReadAt(offset, buffer, count);
}

bool CompoundFile::ReadSector(uint32_t sector, std::vector<uint8_t>& out) {
  out.assign(sectorSize_, 0);  // a partial last sector reads as zeros beyond the file's end
  return ReadAt((static_cast<uint64_t>(sector) + 1) * sectorSize_, out.data(), sectorSize_) > 0;
}

bool CompoundFile::Parse(std::string& error) {
  const uint64_t size = source_->Size();
  if (size < 512) {
    error = "The file is too short for a compound document";
    return false;
  }
  fileSize_ = size;
  uint8_t header[512];
  if (ReadAt(0, header, sizeof header) != sizeof header || std::memcmp(header, kSignature, 8) != 0) {
    error = "The file is not a compound document";
    return false;
  }
  const uint16_t major = LoadLe16(header + 26);
  const uint16_t shift = LoadLe16(header + 30);
  if (LoadLe16(header + 28) != 0xFFFE || LoadLe16(header + 32) != 6 || !((major == 3 && shift == 9) || (major == 4 && shift == 12))) {
    error = "Unsupported compound document version or sector size";
    return false;
  }
  version4_ = major == 4;
  sectorSize_ = 1u << shift;
  const uint64_t sectors = fileSize_ > sectorSize_ ? (fileSize_ - sectorSize_ + sectorSize_ - 1) / sectorSize_ : 0;
  sectorCount_ = static_cast<uint32_t>(std::min<uint64_t>(sectors, kMaxRegularSector + 1ull));
  if (!LoadFat(header, error)) return false;

  // Directory: a chain of sectors of 128-byte entries; what the chain yields is used.
  bool complete = true;
  const std::vector<uint32_t> dirSectors = FatChain(LoadLe32(header + 48), sectorCount_, complete);
  std::vector<uint8_t> sector;
  for (uint32_t id : dirSectors) {
    if (!ReadSector(id, sector)) break;
    for (uint32_t at = 0; at + 128 <= sectorSize_; at += 128) {
      const uint8_t* e = sector.data() + at;
      DirEntry entry;
      const uint16_t nameBytes = LoadLe16(e + 64);
      if (nameBytes >= 2 && nameBytes <= 64 && nameBytes % 2 == 0) {
        for (uint16_t i = 0; i + 2 < nameBytes; i += 2) entry.name.push_back(static_cast<char16_t>(LoadLe16(e + i)));
      }
      entry.type = e[66];
      entry.left = LoadLe32(e + 68);
      entry.right = LoadLe32(e + 72);
      entry.child = LoadLe32(e + 76);
      entry.start = LoadLe32(e + 116);
      // Version 3 files may hold garbage in the high half of the size.
      entry.size = version4_ ? LoadLe64(e + 120) : LoadLe32(e + 120);
      dir_.push_back(std::move(entry));
    }
  }
  if (dir_.empty() || dir_[0].type != kTypeRoot) {
    error = "The compound document has no root storage";
    return false;
  }

  // Mini FAT: as many sectors as its chain yields.
  for (uint32_t id : FatChain(LoadLe32(header + 60), sectorCount_, complete)) {
    if (!ReadSector(id, sector)) break;
    for (uint32_t at = 0; at < sectorSize_; at += 4) miniFat_.push_back(LoadLe32(sector.data() + at));
  }
  // Mini stream: the root entry's data, always in regular sectors.
  CfbStreamMap mini;
  const DirEntry& root = dir_[0];
  MapUnits(root, mini, /*regular=*/true);
  miniStreamSectors_ = std::move(mini.unitOffsets);
  miniStreamSize_ = mini.size;
  return true;
}

bool CompoundFile::LoadFat(const uint8_t* header, std::string& error) {
  const uint32_t fatSectors = LoadLe32(header + 44);
  if (fatSectors > sectorCount_) {
    error = "The compound document's FAT is larger than the file";
    return false;
  }
  std::vector<uint32_t> ids;
  ids.reserve(fatSectors);
  for (uint32_t i = 0; i < kHeaderDifatEntries && ids.size() < fatSectors; ++i) ids.push_back(LoadLe32(header + 76 + i * 4));
  // DIFAT sectors beyond the header: sectorSize/4 - 1 FAT sector ids, then the next one.
  uint32_t difat = LoadLe32(header + 68);
  std::vector<bool> seen(sectorCount_, false);
  std::vector<uint8_t> sector;
  const uint32_t perSector = sectorSize_ / 4;
  while (ids.size() < fatSectors) {
    if (!ValidSector(difat) || seen[difat] || !ReadSector(difat, sector)) {
      error = "The compound document's DIFAT is damaged";
      return false;
    }
    seen[difat] = true;
    for (uint32_t j = 0; j + 1 < perSector && ids.size() < fatSectors; ++j) ids.push_back(LoadLe32(sector.data() + j * 4));
    difat = LoadLe32(sector.data() + (perSector - 1) * 4);
  }
  fat_.reserve(static_cast<size_t>(fatSectors) * perSector);
  for (uint32_t id : ids) {
    if (!ValidSector(id) || !ReadSector(id, sector)) {
      error = "The compound document's FAT is damaged";
      return false;
    }
    for (uint32_t j = 0; j < perSector; ++j) fat_.push_back(LoadLe32(sector.data() + j * 4));
  }
  return true;
}

std::vector<uint32_t> CompoundFile::FatChain(uint32_t start, uint64_t maxCount, bool& complete) const {
  std::vector<uint32_t> chain;
  complete = true;
  // Most chains only run forward: a sector past the last one passed cannot have been passed.
  // The map of passed sectors is made when a chain first turns back, from the chain so far.
  std::vector<bool> seen;
  uint32_t id = start;
  while (chain.size() < maxCount && id != kEndOfChain) {
    if (!ValidSector(id) || id >= fat_.size()) {
      complete = false;
      break;
    }
    if (seen.empty() && !chain.empty() && id <= chain.back()) {
      seen.assign(sectorCount_, false);
      for (const uint32_t passed : chain) seen[passed] = true;
    }
    if (!seen.empty()) {
      if (seen[id]) {
        complete = false;
        break;
      }
      seen[id] = true;
    }
    chain.push_back(id);
    id = fat_[id];
  }
  return chain;
}

void CompoundFile::MapUnits(const DirEntry& entry, CfbStreamMap& map, bool regular) const {
  map = CfbStreamMap();
  const bool mini = !regular && entry.size < kMiniStreamCutoff;
  const uint32_t unit = mini ? kMiniSectorSize : sectorSize_;
  map.unitSize = unit;
  const uint64_t need = (entry.size + unit - 1) / unit;
  if (mini) {
    // The mini FAT chain, each mini sector inside the part of the mini stream the file backs.
    // A mini stream is shorter than the cutoff: a chain that comes back to a mini sector it
    // passed is found among the few passed, without a map of every mini sector.
    const uint64_t miniUnits = miniStreamSize_ / kMiniSectorSize;
    // Only a sector no further on than the furthest passed is looked for among them.
    uint32_t passed[kMiniStreamCutoff / kMiniSectorSize];
    size_t count = 0;
    uint32_t furthest = 0;
    map.unitOffsets.reserve(need);
    uint32_t id = entry.start;
    while (count < need && id != kEndOfChain) {
      if (id >= miniFat_.size() || id >= miniUnits) break;
      if (count > 0 && id <= furthest && std::find(passed, passed + count, id) != passed + count) break;
      furthest = std::max(furthest, id);
      passed[count++] = id;
      const uint64_t at = static_cast<uint64_t>(id) * kMiniSectorSize;
      map.unitOffsets.push_back(miniStreamSectors_[at / sectorSize_] + at % sectorSize_);
      id = miniFat_[id];
    }
  } else {
    bool complete = true;
    const std::vector<uint32_t> chain = FatChain(entry.start, std::min<uint64_t>(need, sectorCount_), complete);
    map.unitOffsets.reserve(chain.size());
    for (uint32_t id : chain) map.unitOffsets.push_back((static_cast<uint64_t>(id) + 1) * sectorSize_);
  }
  // A chain shorter than the size, or a file cut short, leaves only the bytes that exist.
  map.size = std::min<uint64_t>(entry.size, map.unitOffsets.size() * static_cast<uint64_t>(unit));
  for (size_t i = 0; i < map.unitOffsets.size(); ++i) {
    const uint64_t off = map.unitOffsets[i];
    const uint64_t available = off < fileSize_ ? std::min<uint64_t>(unit, fileSize_ - off) : 0;
    if (available < unit) {
      map.size = std::min<uint64_t>(map.size, i * static_cast<uint64_t>(unit) + available);
      map.unitOffsets.resize(available > 0 ? i + 1 : i);
      break;
    }
  }
}

bool CompoundFile::MapRootStream(std::u16string_view name, CfbStreamMap& map) const {
  // Every element of the root storage, found by walking its sibling tree without trusting
  // the tree to be sorted or free of loops.
  std::vector<bool> seen(dir_.size(), false);
  std::vector<uint32_t> pending = {dir_[0].child};
  while (!pending.empty()) {
    const uint32_t i = pending.back();
    pending.pop_back();
    if (i == kNoStream || i >= dir_.size() || seen[i]) continue;
    seen[i] = true;
    const DirEntry& entry = dir_[i];
    if (entry.type == kTypeStream && NamesEqual(entry.name, name)) {
      MapUnits(entry, map, /*regular=*/false);
      return true;
    }
    pending.push_back(entry.left);
    pending.push_back(entry.right);
  }
  return false;
}

std::unique_ptr<CfbStream> CompoundFile::OpenStream(std::u16string_view name) {
  auto map = std::make_shared<CfbStreamMap>();
  if (!MapRootStream(name, *map)) return nullptr;
  return std::make_unique<CfbStream>(source_, std::move(map));
}

bool CompoundFile::HasStream(std::u16string_view name) const {
  CfbStreamMap map;
  return MapRootStream(name, map);
}

}  // namespace dkscr
