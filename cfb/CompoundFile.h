#pragma once
// Reader of the compound file format ([MS-CFB], versions 3 and 4): header, FAT with DIFAT,
// directory, mini FAT and mini stream. Every sector number is range-checked, every chain is
// checked for loops, and every size is bounded by what the file holds, so a hostile file can
// neither crash the reader nor make it allocate more than the file's own size.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cfb/CfbStream.h"
#include "platform/ByteSource.h"

namespace dkscr {

class CompoundFile {
 public:
  // Parses the structure; none, with the reason in error, when the file is not a sound
  // compound document.
  static std::shared_ptr<CompoundFile> Open(std::unique_ptr<ByteSource> source, std::string& error);

  // Maps the stream of that name among the root storage's children (names compared without
  // regard to case, as the format does). False when there is none.
  bool MapRootStream(std::u16string_view name, CfbStreamMap& map) const;
  // The stream of that name among the root storage's children, or none.
  std::unique_ptr<CfbStream> OpenStream(std::u16string_view name);
  // Whether the root storage holds a stream of that name.
  bool HasStream(std::u16string_view name) const;
  // Whether the document is a password-protected Open XML package: it holds the encrypted
  // package in place of any content of its own.
  bool HoldsEncryptedPackage() const { return HasStream(u"EncryptedPackage"); }

  // Reads from the file at an offset; the number of bytes delivered.
  size_t ReadAt(uint64_t offset, void* buffer, size_t count);

  uint32_t SectorSize() const { return sectorSize_; }

 private:
  struct DirEntry {
    std::u16string name;
    uint8_t type = 0;
    uint32_t left = 0, right = 0, child = 0;
    uint32_t start = 0;
    uint64_t size = 0;
  };

  explicit CompoundFile(std::unique_ptr<ByteSource> source) : source_(std::move(source)) {}
  bool Parse(std::string& error);
  bool LoadFat(const uint8_t* header, std::string& error);
  bool ReadSector(uint32_t sector, std::vector<uint8_t>& out);
  bool ValidSector(uint32_t sector) const { return sector < sectorCount_; }
  // Sector ids of a chain through the FAT, at most maxCount; stops early at its end, at an
  // invalid id or where it loops. Complete is false when it stopped for damage.
  std::vector<uint32_t> FatChain(uint32_t start, uint64_t maxCount, bool& complete) const;
  void MapUnits(const DirEntry& entry, CfbStreamMap& map, bool regular) const;

  std::shared_ptr<ByteSource> source_;  // shared with the streams opened from it
  uint64_t fileSize_ = 0;
  uint32_t sectorSize_ = 512;
  bool version4_ = false;
  uint32_t sectorCount_ = 0;  // sectors the file holds, a partial last one included
  std::vector<uint32_t> fat_;
  std::vector<uint32_t> miniFat_;
  std::vector<DirEntry> dir_;
  std::vector<uint64_t> miniStreamSectors_;  // file offsets of the mini stream's sectors
  uint64_t miniStreamSize_ = 0;
};

}  // namespace dkscr
