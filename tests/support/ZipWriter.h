#pragma once
// Builds ZIP archives byte by byte for tests, including damaged ones. Header only; link
// ZLIB::ZLIB into the test program (deflated entries and CRCs come from zlib).
//
//   dkscr::test::ZipWriter zip;
//   zip.Add("ppt/slides/slide1.xml", "<p:sld/>");          // deflated
//   zip.Add("a.txt", "x", 0);                               // stored
//   auto odd = dkscr::test::Entry("b.txt", "y");            // then adjust fields
//   odd.crc = 0; zip.Add(odd);
//   std::string bytes = zip.Build();
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dkscr::test {

inline void PutLe16(std::string& out, uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

inline void PutLe32(std::string& out, uint32_t value) {
  PutLe16(out, value & 0xFFFF);
  PutLe16(out, value >> 16);
}

inline void PutLe64(std::string& out, uint64_t value) {
  PutLe32(out, static_cast<uint32_t>(value));
  PutLe32(out, static_cast<uint32_t>(value >> 32));
}

inline uint32_t ZlibCrc32(std::string_view data) {
  uLong crc = crc32(0L, Z_NULL, 0);
  size_t done = 0;
  while (done < data.size()) {
    const uInt part = static_cast<uInt>(std::min<size_t>(data.size() - done, 1u << 30));
    crc = crc32(crc, reinterpret_cast<const Bytef*>(data.data() + done), part);
    done += part;
  }
  return static_cast<uint32_t>(crc);
}

// Raw Deflate (no zlib header), as ZIP stores it. level 0 gives stored blocks.
inline std::string RawDeflate(std::string_view data, int level = Z_DEFAULT_COMPRESSION,
                              int strategy = Z_DEFAULT_STRATEGY) {
  z_stream zs{};
  if (deflateInit2(&zs, level, Z_DEFLATED, -15, 8, strategy) != Z_OK) {
    throw std::runtime_error("deflateInit2 failed");
  }
  std::string out(deflateBound(&zs, static_cast<uLong>(data.size())) + 16, '\0');
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  zs.avail_in = static_cast<uInt>(data.size());
  zs.next_out = reinterpret_cast<Bytef*>(out.data());
  zs.avail_out = static_cast<uInt>(out.size());
  const int rc = deflate(&zs, Z_FINISH);
  out.resize(zs.total_out);
  deflateEnd(&zs);
  if (rc != Z_STREAM_END) throw std::runtime_error("deflate failed");
  return out;
}

// One member. Unset optionals take the values a correct archive would hold.
struct ZipEntrySpec {
  std::string name;
  std::string data;
  uint16_t method = 8;                  // 0 stored, 8 deflated; others: raw bytes, that method
  bool dataDescriptor = false;          // flag bit 3: sizes and CRC after the data
  bool descriptorSignature = true;      // the optional 0x08074b50 before the descriptor
  bool encrypted = false;               // flag bit 0 (data written as given)
  uint16_t extraFlags = 0;
  uint16_t versionMadeBy = 20;          // high byte 0: MS-DOS host
  uint16_t versionNeeded = 20;
  uint32_t dosDateTime = 0x5A210000;
  std::string localExtra;
  std::string centralExtra;
  std::string comment;
  std::optional<std::string> compressed;       // exact compressed bytes to store
  std::optional<uint32_t> crc;                 // CRC-32 to record (local and central)
  std::optional<uint32_t> compressedSize;      // size fields to record
  std::optional<uint32_t> uncompressedSize;
  // Sizes (and the central record's offset) as all ones, the values in a ZIP64 extra field
  // ahead of localExtra and centralExtra.
  bool zip64 = false;
};

// An entry description to adjust before adding (designated initializers would trip
// -Wmissing-field-initializers).
inline ZipEntrySpec Entry(std::string name, std::string data, uint16_t method = 8) {
  ZipEntrySpec entry;
  entry.name = std::move(name);
  entry.data = std::move(data);
  entry.method = method;
  return entry;
}

// Where the pieces of a built archive lie (positions in the returned bytes).
struct ZipLayout {
  std::vector<uint32_t> localHeaderOffsets;
  std::vector<uint32_t> centralHeaderOffsets;
  uint32_t centralDirOffset = 0;
};

class ZipWriter {
 public:
  ZipWriter& Add(ZipEntrySpec entry) {
    entries_.push_back(std::move(entry));
    return *this;
  }
  ZipWriter& Add(std::string name, std::string data, uint16_t method = 8) {
    return Add(Entry(std::move(name), std::move(data), method));
  }
  // Bytes before the first local header; offsets in the directory do NOT account for them
  // (as when a stub is glued in front of an archive), unless AdjustOffsetsForPrefix is set.
  ZipWriter& Prepend(std::string bytes) {
    prefix_ = std::move(bytes);
    return *this;
  }
  ZipWriter& AdjustOffsetsForPrefix(bool adjust = true) {
    adjustForPrefix_ = adjust;
    return *this;
  }
  ZipWriter& Comment(std::string comment) {
    comment_ = std::move(comment);
    return *this;
  }
  // Bytes after the end record (not counted in the comment length).
  ZipWriter& Append(std::string bytes) {
    suffix_ = std::move(bytes);
    return *this;
  }
  // Replaces the end record's fields.
  ZipWriter& CentralDirOffset(uint32_t offset) {
    cdOffset_ = offset;
    return *this;
  }
  ZipWriter& TotalEntries(uint16_t total) {
    totalEntries_ = total;
    return *this;
  }
  ZipWriter& CommentLengthField(uint16_t length) {
    commentLength_ = length;
    return *this;
  }
  ZipWriter& OmitCentralDirectory(bool omit = true) {
    omitCentral_ = omit;
    return *this;
  }
  // ZIP64 end record and locator: written when the entries do not fit the classic count (which
  // then holds all ones), always, or never (the classic count then wraps, as old writers do).
  enum class Zip64End { kWhenNeeded, kAlways, kNever };
  ZipWriter& Zip64(Zip64End mode) {
    zip64End_ = mode;
    return *this;
  }

  std::string Build(ZipLayout* layout = nullptr) const {
    ZipLayout local;
    ZipLayout& lay = layout ? *layout : local;
    lay = ZipLayout{};
    std::string out = prefix_;
    const uint32_t shift = adjustForPrefix_ ? 0 : static_cast<uint32_t>(prefix_.size());
    struct Written {
      uint32_t crc, csize, usize, offset;
    };
    std::vector<Written> written;
    for (const ZipEntrySpec& e : entries_) {
      std::string packed = e.compressed ? *e.compressed
                           : e.method == 8 ? RawDeflate(e.data)
                                           : e.data;
      const uint32_t crc = e.crc ? *e.crc : ZlibCrc32(e.data);
      const uint32_t csize = e.compressedSize ? *e.compressedSize
                                              : static_cast<uint32_t>(packed.size());
      const uint32_t usize = e.uncompressedSize ? *e.uncompressedSize
                                                : static_cast<uint32_t>(e.data.size());
      const uint32_t offset = static_cast<uint32_t>(out.size());
      lay.localHeaderOffsets.push_back(offset);
      std::string localExtra = e.localExtra;
      if (e.zip64) {
        std::string wide;
        PutLe64(wide, usize);
        PutLe64(wide, csize);
        localExtra = Zip64Extra(wide) + localExtra;
      }
      PutLe32(out, 0x04034b50);
      PutLe16(out, e.versionNeeded);
      PutLe16(out, Flags(e));
      PutLe16(out, e.method);
      PutLe32(out, e.dosDateTime);
      PutLe32(out, e.dataDescriptor ? 0 : crc);
      PutLe32(out, e.dataDescriptor ? 0 : e.zip64 ? 0xFFFFFFFF : csize);
      PutLe32(out, e.dataDescriptor ? 0 : e.zip64 ? 0xFFFFFFFF : usize);
      PutLe16(out, static_cast<uint32_t>(e.name.size()));
      PutLe16(out, static_cast<uint32_t>(localExtra.size()));
      out += e.name;
      out += localExtra;
      out += packed;
      if (e.dataDescriptor) {
        if (e.descriptorSignature) PutLe32(out, 0x08074b50);
        PutLe32(out, crc);
        PutLe32(out, csize);
        PutLe32(out, usize);
      }
      written.push_back({crc, csize, usize, offset - shift});
    }
    const uint32_t cdStart = static_cast<uint32_t>(out.size());
    lay.centralDirOffset = cdStart;
    if (!omitCentral_) {
      for (size_t i = 0; i < entries_.size(); ++i) {
        const ZipEntrySpec& e = entries_[i];
        const Written& w = written[i];
        lay.centralHeaderOffsets.push_back(static_cast<uint32_t>(out.size()));
        std::string centralExtra = e.centralExtra;
        if (e.zip64) {
          std::string wide;
          PutLe64(wide, w.usize);
          PutLe64(wide, w.csize);
          PutLe64(wide, w.offset);
          centralExtra = Zip64Extra(wide) + centralExtra;
        }
        const uint32_t allOnes = e.zip64 ? 0xFFFFFFFF : 0;
        PutLe32(out, 0x02014b50);
        PutLe16(out, e.versionMadeBy);
        PutLe16(out, e.versionNeeded);
        PutLe16(out, Flags(e));
        PutLe16(out, e.method);
        PutLe32(out, e.dosDateTime);
        PutLe32(out, w.crc);
        PutLe32(out, allOnes | w.csize);
        PutLe32(out, allOnes | w.usize);
        PutLe16(out, static_cast<uint32_t>(e.name.size()));
        PutLe16(out, static_cast<uint32_t>(centralExtra.size()));
        PutLe16(out, static_cast<uint32_t>(e.comment.size()));
        PutLe16(out, 0);  // disk number start
        PutLe16(out, 0);  // internal attributes
        PutLe32(out, 0);  // external attributes
        PutLe32(out, allOnes | w.offset);
        out += e.name;
        out += centralExtra;
        out += e.comment;
      }
    }
    const uint32_t cdSize = static_cast<uint32_t>(out.size()) - cdStart;
    const bool zip64 = zip64End_ == Zip64End::kAlways ||
                       (zip64End_ == Zip64End::kWhenNeeded && entries_.size() > 0xFFFF);
    if (zip64) {
      const uint64_t recordStart = out.size();
      PutLe32(out, 0x06064b50);
      PutLe64(out, 44);  // size of the rest of the record
      PutLe16(out, 45);  // version made by
      PutLe16(out, 45);  // version needed
      PutLe32(out, 0);   // this disk
      PutLe32(out, 0);   // the directory's disk
      PutLe64(out, entries_.size());
      PutLe64(out, entries_.size());
      PutLe64(out, cdSize);
      PutLe64(out, cdOffset_ ? *cdOffset_ : cdStart - shift);
      PutLe32(out, 0x07064b50);
      PutLe32(out, 0);  // disk of the ZIP64 end record
      PutLe64(out, recordStart - shift);
      PutLe32(out, 1);  // total disks
    }
    const uint16_t total = totalEntries_     ? *totalEntries_
                           : zip64 && entries_.size() > 0xFFFF ? 0xFFFF
                                                               : static_cast<uint16_t>(entries_.size());
    PutLe32(out, 0x06054b50);
    PutLe32(out, 0);  // this disk and the directory's disk
    PutLe16(out, total);
    PutLe16(out, total);
    PutLe32(out, cdSize);
    PutLe32(out, cdOffset_ ? *cdOffset_ : cdStart - shift);
    PutLe16(out, commentLength_ ? *commentLength_ : static_cast<uint32_t>(comment_.size()));
    out += comment_;
    out += suffix_;
    return out;
  }

 private:
  static std::string Zip64Extra(const std::string& values) {
    std::string extra;
    PutLe16(extra, 0x0001);
    PutLe16(extra, static_cast<uint32_t>(values.size()));
    return extra + values;
  }

  static uint16_t Flags(const ZipEntrySpec& e) {
    return static_cast<uint16_t>(e.extraFlags | (e.encrypted ? 0x0001 : 0) |
                                 (e.dataDescriptor ? 0x0008 : 0));
  }

  std::vector<ZipEntrySpec> entries_;
  std::string prefix_;
  std::string suffix_;
  std::string comment_;
  bool adjustForPrefix_ = false;
  bool omitCentral_ = false;
  std::optional<uint32_t> cdOffset_;
  std::optional<uint16_t> totalEntries_;
  std::optional<uint16_t> commentLength_;
  Zip64End zip64End_ = Zip64End::kWhenNeeded;
};

}  // namespace dkscr::test
