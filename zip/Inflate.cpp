#include "zip/Inflate.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>

#include "platform/LittleEndian.h"

namespace dkscr {
namespace {

// A decode-table entry: bits 0-3 the codeword length to consume, 4-7 the kind, 8-15 the extra
// bits (for a subtable: its index width), 16-31 the value (literal, base, subtable start).
constexpr uint32_t kLiteral = 0x10;
constexpr uint32_t kSubtable = 0x20;
constexpr uint32_t kEndOfBlock = 0x40;
constexpr uint32_t kInvalidCode = 0x80;

constexpr uint32_t MakeEntry(uint32_t value, uint32_t extra, uint32_t kind) {
  return value << 16 | extra << 8 | kind;
}

constexpr unsigned kLitRootBits = 10;
constexpr unsigned kDistRootBits = 8;
constexpr unsigned kPreRootBits = 7;
// Root tables plus room for subtables; a valid code never needs more (checked while building).
constexpr size_t kLitTableSize = (1u << kLitRootBits) + 2048;
constexpr size_t kDistTableSize = (1u << kDistRootBits) + 1024;
constexpr size_t kPreTableSize = 1u << kPreRootBits;

constexpr size_t kChunk = 32768;
// An entry's first input goes to a small buffer inside the decoder, so that the many small
// parts of a package cost no allocation; one that fills it reads on in whole chunks.
constexpr size_t kFirstChunk = 4096;
// Match copies may write this far past their end, even past the output's limit: the string
// holds this much more than the decoder's room.
constexpr size_t kCopySlack = 40;

constexpr std::array<uint16_t, 29> kLengthBase = {3,  4,  5,  6,  7,  8,  9,  10, 11, 13,
                                                  15, 17, 19, 23, 27, 31, 35, 43, 51, 59,
                                                  67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                  2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<uint16_t, 30> kDistBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<uint8_t, 30> kDistExtra = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                                6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr std::array<uint8_t, 19> kPrecodeOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                   11, 4,  12, 3, 13, 2, 14, 1, 15};

struct SymbolEntries {
  std::array<uint32_t, 288> lit{};
  std::array<uint32_t, 32> dist{};
  std::array<uint32_t, 19> pre{};
};

constexpr SymbolEntries MakeSymbolEntries() {
  SymbolEntries s{};
  for (uint32_t i = 0; i < 256; ++i) s.lit[i] = MakeEntry(i, 0, kLiteral);
  s.lit[256] = MakeEntry(0, 0, kEndOfBlock);
  for (uint32_t i = 0; i < 29; ++i) s.lit[257 + i] = MakeEntry(kLengthBase[i], kLengthExtra[i], 0);
  s.lit[286] = s.lit[287] = MakeEntry(0, 0, kInvalidCode);
  for (uint32_t i = 0; i < 30; ++i) s.dist[i] = MakeEntry(kDistBase[i], kDistExtra[i], 0);
  s.dist[30] = s.dist[31] = MakeEntry(0, 0, kInvalidCode);
  for (uint32_t i = 0; i < 19; ++i) s.pre[i] = MakeEntry(i, 0, kLiteral);
  return s;
}

constexpr SymbolEntries kSymbols = MakeSymbolEntries();

constexpr std::array<uint8_t, 256> MakeByteReversal() {
  std::array<uint8_t, 256> r{};
  for (unsigned b = 0; b < 256; ++b) {
    unsigned v = 0;
    for (unsigned i = 0; i < 8; ++i) v |= ((b >> i) & 1) << (7 - i);
    r[b] = static_cast<uint8_t>(v);
  }
  return r;
}

constexpr std::array<uint8_t, 256> kByteReversal = MakeByteReversal();

// The low `length` bits of a codeword (length 1 to 15, the code below 2^length) in reverse
// order; one look-up for the short codes small streams mostly have.
inline uint32_t ReverseBits(uint32_t code, unsigned length) {
  if (length <= 8) return static_cast<uint32_t>(kByteReversal[code]) >> (8 - length);
  const uint32_t r = static_cast<uint32_t>(kByteReversal[code & 0xFF]) << 8 | kByteReversal[(code >> 8) & 0xFF];
  return r >> (16 - length);
}

// Builds the decode table of a canonical Huffman code from its code lengths (each at most 15).
// Fails on an over-subscribed code and on an incomplete one, except (when allowed) a single
// code of length 1 or no code at all, which decode as invalid where no code exists. The root
// is `rootBits` wide, or only as wide as the longest code when that is shorter (small streams
// have short codes, and a narrow root is cheaper to fill); `width` is set to the root's width.
bool BuildTable(const uint8_t* lengths, unsigned count, const uint32_t* symbols,
                unsigned rootBits, uint32_t* table, size_t tableSize, bool allowIncomplete,
                unsigned& width) {
  // The symbols that have a code, by length and in symbol order within a length: the order
  // canonical codes are given in, with no sort. Small streams leave most byte values unused:
  // the lengths are looked at eight at a time, and only the nonzero ones one by one.
  std::array<uint16_t, 16> perLength{};
  std::array<std::array<uint16_t, 288>, 16> byLength;  // only the first perLength[len] of a row are read
  const auto take = [&](unsigned sym) {
    const unsigned len = lengths[sym];
    byLength[len][perLength[len]++] = static_cast<uint16_t>(sym);
  };
  unsigned at = 0;
  for (; at + 8 <= count; at += 8) {
    // A length below 0x80 plus 0x7F sets its byte's top bit exactly when it is not zero,
    // without a carry into the next byte.
    uint64_t nonzero = (LoadLe64(lengths + at) + 0x7F7F7F7F7F7F7F7Fu) & 0x8080808080808080u;
    for (; nonzero != 0; nonzero &= nonzero - 1) take(at + static_cast<unsigned>(std::countr_zero(nonzero)) / 8);
  }
  for (; at < count; ++at) {
    if (lengths[at] != 0) take(at);
  }
  unsigned maxLength = 15;
  while (maxLength > 0 && perLength[maxLength] == 0) --maxLength;
  rootBits = std::min(rootBits, std::max(maxLength, 1u));
  width = rootBits;
  const uint32_t rootSize = 1u << rootBits;
  const uint32_t invalid = MakeEntry(0, 0, kInvalidCode) | 1;
  if (maxLength == 0) {
    if (!allowIncomplete) return false;
    std::fill(table, table + rootSize, invalid);
    return true;
  }
  int left = 1;
  for (unsigned len = 1; len <= 15; ++len) {
    left = (left << 1) - perLength[len];
    if (left < 0) return false;
  }
  if (left > 0) {
    if (!allowIncomplete || maxLength != 1) return false;
    std::fill(table, table + rootSize, invalid);
  }


  // Codes up to the root's width are built in a table of their own width that doubles (by
  // copying) as the width grows: each code is stored once, and the copies put it at every
  // index that ends in its bits. Indexes that only a longer code's prefix reaches hold junk
  // until the subtables' pointers replace it.
  const unsigned rootLength = std::min(maxLength, rootBits);
  unsigned minLength = 1;
  while (perLength[minLength] == 0) ++minLength;
  std::array<uint16_t, 16> remaining = perLength;
  uint32_t code = 0;  // canonical codeword, first bit most significant
  size_t filled = size_t{1} << std::min(minLength, rootLength);  // indexes the current width covers
  size_t nextFree = rootSize;
  uint32_t subPrefix = ~0u;
  unsigned subBits = 0;
  size_t subStart = 0;
  for (unsigned len = 1; len <= maxLength; ++len, code <<= 1) {
    if (len > minLength && len <= rootLength) {
      std::memcpy(table + filled, table, filled * sizeof *table);
      filled <<= 1;
    }
    if (len == rootBits + 1) {
      // The root's codes are all in: it takes its full width before any subtable.
      for (; filled < rootSize; filled <<= 1) std::memcpy(table + filled, table, filled * sizeof *table);
    }
    for (unsigned k = 0; k < perLength[len]; ++k, ++code) {
      const uint32_t reversed = ReverseBits(code, len);
      const uint32_t entry = symbols[byLength[len][k]];
      if (len <= rootBits) {
        table[reversed] = entry | len;
      } else {
        const uint32_t prefix = reversed & (rootSize - 1);
        if (prefix != subPrefix) {
          // Wide enough for every remaining code that shares this prefix.
          unsigned bits = len - rootBits;
          int room = 1 << bits;
          while (bits + rootBits < maxLength) {
            room -= remaining[bits + rootBits];
            if (room <= 0) break;
            ++bits;
            room <<= 1;
          }
          if (nextFree + (size_t{1} << bits) > tableSize) return false;
          subPrefix = prefix;
          subBits = bits;
          subStart = nextFree;
          nextFree += size_t{1} << bits;
          table[prefix] = MakeEntry(static_cast<uint32_t>(subStart), bits, kSubtable) | rootBits;
        }
        const unsigned rest = len - rootBits;
        for (uint32_t j = reversed >> rootBits; j < (1u << subBits); j += 1u << rest) {
          table[subStart + j] = entry | rest;
        }
      }
      --remaining[len];
    }
  }
  for (; filled < rootSize; filled <<= 1) std::memcpy(table + filled, table, filled * sizeof *table);
  return true;
}

struct FixedTables {
  std::array<uint32_t, kLitTableSize> lit{};
  std::array<uint32_t, kDistTableSize> dist{};
  unsigned litBits = 0;
  unsigned distBits = 0;
};

const FixedTables& GetFixedTables() {
  static const FixedTables tables = [] {
    FixedTables t;
    std::array<uint8_t, 288> lengths{};
    std::fill(lengths.begin(), lengths.begin() + 144, 8);
    std::fill(lengths.begin() + 144, lengths.begin() + 256, 9);
    std::fill(lengths.begin() + 256, lengths.begin() + 280, 7);
    std::fill(lengths.begin() + 280, lengths.end(), 8);
    BuildTable(lengths.data(), 288, kSymbols.lit.data(), kLitRootBits, t.lit.data(),
               t.lit.size(), false, t.litBits);
    std::array<uint8_t, 32> distLengths{};
    distLengths.fill(5);
    BuildTable(distLengths.data(), 32, kSymbols.dist.data(), kDistRootBits, t.dist.data(),
               t.dist.size(), false, t.distBits);
    return t;
  }();
  return tables;
}

// Eight bytes of a match, in order: with the distance at least eight they are all written.
inline void CopyWord(uint8_t* to, const uint8_t* from) {
  uint64_t word;
  std::memcpy(&word, from, 8);
  std::memcpy(to, &word, 8);
}

inline void StoreWord(uint8_t* to, uint64_t word) { std::memcpy(to, &word, 8); }

// Bits are taken least significant first from `bitbuf_`; `bitsleft_` of them are valid. Bits
// above those may hold the next input byte already (refills OR the same bits in again), so they
// are never assumed to be zero. Past the end of the input, refills add zero bytes and count them
// in `overrun_`: using any of them means the stream was truncated.
class Inflater {
 public:
  Inflater(std::string& out, size_t limit, size_t sizeHint) : str_(out) {
    start_ = out.size();
    limitEnd_ = limit;
    const size_t first = std::min(limit, std::max<size_t>(sizeHint, 4096));
    out.resize(start_ + first + kCopySlack);
    Rebase(0, first);
  }

  void SetBuffer(const uint8_t* data, size_t size) {
    in_ = data;
    inEnd_ = data + size;
  }

  void SetSource(InflateSource* source) {
    source_ = source;
    in_ = inEnd_ = firstChunk_.data();
  }

  // Leaves exactly the decoded bytes in the string, also when the source throws.
  InflateStatus Run() {
    InflateStatus status;
    try {
      status = Decode();
    } catch (...) {
      str_.resize(start_ + static_cast<size_t>(out_ - base_));
      throw;
    }
    str_.resize(start_ + static_cast<size_t>(out_ - base_));
    return status;
  }

 private:
  InflateStatus Decode() {
    for (;;) {
      if (!Refill()) return InflateStatus::kTruncated;
      const bool final = (bitbuf_ & 1) != 0;
      const unsigned type = (bitbuf_ >> 1) & 3;
      Consume(3);
      InflateStatus status;
      if (type == 0) {
        status = StoredBlock();
      } else if (type == 1) {
        const FixedTables& fixed = GetFixedTables();
        status = HuffmanBlock(fixed.lit.data(), fixed.litBits, fixed.dist.data(), fixed.distBits);
      } else if (type == 2) {
        status = ReadDynamicTables();
        if (status == InflateStatus::kDone) status = HuffmanBlock(lit_.data(), litBits_, dist_.data(), distBits_);
      } else {
        status = InflateStatus::kInvalid;
      }
      if (status != InflateStatus::kDone) return status;
      if (Overran()) return InflateStatus::kTruncated;
      if (final) return InflateStatus::kDone;
    }
  }

  void Consume(unsigned n) {
    bitbuf_ >>= n;
    bitsleft_ -= n;
  }

  bool Overran() const { return overrun_ * 8 > bitsleft_; }

  // Moves the unread bytes to the front of the chunk buffer and reads more behind them.
  bool Fetch() {
    if (source_ == nullptr || sourceDry_) return false;
    const size_t keep = static_cast<size_t>(inEnd_ - in_);
    if (!chunk_ && lastRead_ == kFirstChunk) {
      chunk_ = std::make_unique_for_overwrite<uint8_t[]>(kChunk + 8);  // filled before it is read
    }
    uint8_t* const buffer = chunk_ ? chunk_.get() : firstChunk_.data();
    std::memmove(buffer, in_, keep);
    const size_t got = source_->Read(buffer + keep, chunk_ ? kChunk : kFirstChunk);
    in_ = buffer;
    inEnd_ = in_ + keep + got;
    lastRead_ = got;
    if (got == 0) sourceDry_ = true;
    return got != 0;
  }

  // Afterwards 56 to 63 bits are valid. False when bits beyond the input were consumed.
  bool Refill() {
    if (inEnd_ - in_ >= 8) {
      bitbuf_ |= LoadLe64(in_) << bitsleft_;
      in_ += (63 - bitsleft_) >> 3;
      bitsleft_ |= 56;
      return true;
    }
    return SlowRefill();
  }

  bool SlowRefill() {
    while (bitsleft_ < 56) {
      if (in_ == inEnd_ && !Fetch()) {
        if (Overran()) return false;
        ++overrun_;
        bitsleft_ += 8;
        continue;
      }
      if (inEnd_ - in_ >= 8) return Refill();
      bitbuf_ |= uint64_t{*in_++} << bitsleft_;
      bitsleft_ += 8;
    }
    return !Overran();
  }

  void Rebase(size_t used, size_t capacity) {
    base_ = reinterpret_cast<uint8_t*>(str_.data()) + start_;
    out_ = base_ + used;
    capEnd_ = base_ + capacity;
  }

  // Makes room for `need` more bytes within the limit; false when the limit forbids it.
  bool Grow(size_t need) {
    const size_t used = static_cast<size_t>(out_ - base_);
    const size_t capacity = static_cast<size_t>(capEnd_ - base_);
    if (capacity - used >= need) return true;
    if (capacity >= limitEnd_) return false;
    size_t wanted = std::max(capacity * 2, used + need);
    wanted = std::min(wanted, limitEnd_);
    str_.resize(start_ + wanted + kCopySlack);
    Rebase(used, wanted);
    return wanted - used >= need;
  }

  InflateStatus StoredBlock() {
    Consume(bitsleft_ & 7);
    if (!Refill()) return InflateStatus::kTruncated;
    const uint32_t length = static_cast<uint32_t>(bitbuf_ & 0xFFFF);
    const uint32_t check = static_cast<uint32_t>((bitbuf_ >> 16) & 0xFFFF);
    Consume(32);
    if (length != (~check & 0xFFFF)) return InflateStatus::kInvalid;
    if (Overran()) return InflateStatus::kTruncated;
    uint32_t left = length;
    // Whole bytes already in the bit buffer come first.
    while (left > 0 && bitsleft_ >= 8) {
      if (out_ == capEnd_ && !Grow(1)) return InflateStatus::kOutputLimit;
      *out_++ = static_cast<uint8_t>(bitbuf_);
      Consume(8);
      --left;
      if (Overran()) return InflateStatus::kTruncated;
    }
    if (left == 0) return InflateStatus::kDone;
    bitbuf_ = 0;  // empty now; the input pointer moves past the bits above
    while (left > 0) {
      if (in_ == inEnd_ && !Fetch()) return InflateStatus::kTruncated;
      size_t n = std::min<size_t>(left, static_cast<size_t>(inEnd_ - in_));
      if (static_cast<size_t>(capEnd_ - out_) < n) {
        Grow(n);
        n = std::min(n, static_cast<size_t>(capEnd_ - out_));
        if (n == 0) return InflateStatus::kOutputLimit;
      }
      std::memcpy(out_, in_, n);
      out_ += n;
      in_ += n;
      left -= static_cast<uint32_t>(n);
    }
    return InflateStatus::kDone;
  }

  // Reads one symbol with the precode table (no subtables: its codes are at most 7 bits).
  InflateStatus ReadDynamicTables() {
    if (!Refill()) return InflateStatus::kTruncated;
    const unsigned litCount = static_cast<unsigned>(bitbuf_ & 0x1F) + 257;
    const unsigned distCount = static_cast<unsigned>((bitbuf_ >> 5) & 0x1F) + 1;
    const unsigned preCount = static_cast<unsigned>((bitbuf_ >> 10) & 0xF) + 4;
    Consume(14);
    if (litCount > 286 || distCount > 30) return InflateStatus::kInvalid;
    std::array<uint8_t, 19> preLengths{};
    // A refill leaves room for 18 of the 3-bit lengths.
    for (unsigned i = 0; i < preCount; ++i) {
      if (i % 18 == 0 && !Refill()) return InflateStatus::kTruncated;
      preLengths[kPrecodeOrder[i]] = static_cast<uint8_t>(bitbuf_ & 7);
      Consume(3);
    }
    unsigned preBits = 0;
    if (!BuildTable(preLengths.data(), 19, kSymbols.pre.data(), kPreRootBits, pre_.data(),
                    pre_.size(), false, preBits)) {
      return InflateStatus::kInvalid;
    }
    std::array<uint8_t, 286 + 30> lengths;  // the first `total` are written before use
    const unsigned total = litCount + distCount;
    // A code length symbol with its extra bits takes at most 14 bits: four of them fit in the
    // 56 bits a refill leaves.
    const uint64_t preMask = (uint64_t{1} << preBits) - 1;
    unsigned n = 0;
    while (n < total) {
      if (!Refill()) return InflateStatus::kTruncated;
      // The four symbols work on a local copy of the bit buffer, written back once.
      uint64_t bits = bitbuf_;
      unsigned used = 0;
      for (int fits = 4; fits > 0 && n < total; --fits) {
        const uint32_t e = pre_[bits & preMask];
        bits >>= e & 0xF;
        used += e & 0xF;
        const unsigned sym = e >> 16;
        if (sym < 16) {
          lengths[n++] = static_cast<uint8_t>(sym);
          continue;
        }
        uint8_t value = 0;
        unsigned repeat;
        if (sym == 16) {
          if (n == 0) return InflateStatus::kInvalid;
          value = lengths[n - 1];
          repeat = 3 + static_cast<unsigned>(bits & 3);
          bits >>= 2;
          used += 2;
        } else if (sym == 17) {
          repeat = 3 + static_cast<unsigned>(bits & 7);
          bits >>= 3;
          used += 3;
        } else {
          repeat = 11 + static_cast<unsigned>(bits & 0x7F);
          bits >>= 7;
          used += 7;
        }
        if (n + repeat > total) return InflateStatus::kInvalid;
        std::memset(lengths.data() + n, value, repeat);
        n += repeat;
      }
      bitbuf_ = bits;
      bitsleft_ -= used;
    }
    if (Overran()) return InflateStatus::kTruncated;
    if (lengths[256] == 0) return InflateStatus::kInvalid;  // no end-of-block code
    if (!BuildTable(lengths.data(), litCount, kSymbols.lit.data(), kLitRootBits, lit_.data(),
                    lit_.size(), true, litBits_) ||
        !BuildTable(lengths.data() + litCount, distCount, kSymbols.dist.data(), kDistRootBits,
                    dist_.data(), dist_.size(), true, distBits_)) {
      return InflateStatus::kInvalid;
    }
    return InflateStatus::kDone;
  }

  // The hot loop keeps the bit buffer and the pointers in locals: stores through the output
  // pointer could otherwise alias the members and force reloads. A root narrower than its
  // full width has no subtables, so a subtable is always reached past a full-width root.
  InflateStatus HuffmanBlock(const uint32_t* lit, unsigned litBits, const uint32_t* dist, unsigned distBits) {
    const uint64_t litMask = (uint64_t{1} << litBits) - 1;
    const uint64_t distMask = (uint64_t{1} << distBits) - 1;
    uint64_t bitbuf = bitbuf_;
    unsigned bitsleft = bitsleft_;
    const uint8_t* in = in_;
    const uint8_t* inEnd = inEnd_;
    uint8_t* out = out_;
    uint8_t* capEnd = capEnd_;
    const uint8_t* base = base_;
    auto save = [&] {
      bitbuf_ = bitbuf;
      bitsleft_ = bitsleft;
      in_ = in;
      out_ = out;
    };
    auto load = [&] {
      bitbuf = bitbuf_;
      bitsleft = bitsleft_;
      in = in_;
      inEnd = inEnd_;
      out = out_;
      capEnd = capEnd_;
      base = base_;
    };
    for (;;) {
      if (inEnd - in >= 8) {
        bitbuf |= LoadLe64(in) << bitsleft;
        in += (63 - bitsleft) >> 3;
        bitsleft |= 56;
      } else {
        save();
        const bool ok = SlowRefill();
        load();
        if (!ok) return InflateStatus::kTruncated;
      }
      uint32_t e = lit[bitbuf & litMask];
      if (e & kSubtable) {
        bitbuf >>= kLitRootBits;
        bitsleft -= kLitRootBits;
        e = lit[(e >> 16) + (bitbuf & ((1u << ((e >> 8) & 0xF)) - 1))];
      }
      bitbuf >>= e & 0xF;
      bitsleft -= e & 0xF;
      if (e & kLiteral) {
        if (out == capEnd) {
          save();
          const bool ok = Grow(1);
          load();
          if (!ok) return InflateStatus::kOutputLimit;
        }
        *out++ = static_cast<uint8_t>(e >> 16);
        // More literals fit in the bits left after the first (56 - 15 - 15 >= 15).
        for (int more = 0; more < 2; ++more) {
          const uint32_t e2 = lit[bitbuf & litMask];
          if (!(e2 & kLiteral) || out == capEnd) break;
          bitbuf >>= e2 & 0xF;
          bitsleft -= e2 & 0xF;
          *out++ = static_cast<uint8_t>(e2 >> 16);
        }
        continue;
      }
      if (e & (kEndOfBlock | kInvalidCode)) {
        save();
        return (e & kEndOfBlock) ? InflateStatus::kDone : InflateStatus::kInvalid;
      }
      unsigned extra = (e >> 8) & 0xF;
      const uint32_t length = (e >> 16) + static_cast<uint32_t>(bitbuf & ((1u << extra) - 1));
      bitbuf >>= extra;
      bitsleft -= extra;

      e = dist[bitbuf & distMask];
      if (e & kSubtable) {
        bitbuf >>= kDistRootBits;
        bitsleft -= kDistRootBits;
        e = dist[(e >> 16) + (bitbuf & ((1u << ((e >> 8) & 0xF)) - 1))];
      }
      bitbuf >>= e & 0xF;
      bitsleft -= e & 0xF;
      if (e & kInvalidCode) return InflateStatus::kInvalid;
      extra = (e >> 8) & 0xF;
      const uint32_t distance = (e >> 16) + static_cast<uint32_t>(bitbuf & ((1u << extra) - 1));
      bitbuf >>= extra;
      bitsleft -= extra;
      if (distance > static_cast<size_t>(out - base)) return InflateStatus::kInvalid;

      // Room for the match itself: the slack beyond the room takes the word copies' overrun.
      if (static_cast<size_t>(capEnd - out) < length) {
        save();
        Grow(length);
        load();
        if (static_cast<size_t>(capEnd - out) < length) {
          // At the limit: copy exactly what fits, byte by byte, and stop.
          const size_t n = static_cast<size_t>(capEnd - out);
          const uint8_t* src = out - distance;
          for (size_t i = 0; i < n; ++i) out[i] = src[i];
          out += n;
          save();
          return InflateStatus::kOutputLimit;
        }
      }
      const uint8_t* src = out - distance;
      uint8_t* const end = out + length;
      if (distance >= 8) {
        // Five words whatever the length: most matches need no more, and a branch on the
        // length mispredicts often. The slack takes what lands past the end.
        CopyWord(out, src);
        CopyWord(out + 8, src + 8);
        CopyWord(out + 16, src + 16);
        CopyWord(out + 24, src + 24);
        CopyWord(out + 32, src + 32);
        out += 40;
        src += 40;
        for (; out < end; out += 8, src += 8) CopyWord(out, src);
      } else if (distance == 1) {
        const uint64_t run = *src * 0x0101010101010101u;
        StoreWord(out, run);
        StoreWord(out + 8, run);
        StoreWord(out + 16, run);
        StoreWord(out + 24, run);
        StoreWord(out + 32, run);
        for (out += 40; out < end; out += 8) StoreWord(out, run);
      } else {
        do {
          *out++ = *src++;
        } while (out < end);
      }
      out = end;
    }
  }

  std::string& str_;
  size_t start_ = 0;
  size_t limitEnd_ = 0;
  uint8_t* base_ = nullptr;
  uint8_t* out_ = nullptr;
  uint8_t* capEnd_ = nullptr;

  InflateSource* source_ = nullptr;
  bool sourceDry_ = false;
  std::unique_ptr<uint8_t[]> chunk_;
  size_t lastRead_ = 0;
  const uint8_t* in_ = nullptr;
  const uint8_t* inEnd_ = nullptr;
  uint64_t bitbuf_ = 0;
  unsigned bitsleft_ = 0;
  unsigned overrun_ = 0;

  // Filled by BuildTable before use; left uninitialized to keep small streams cheap.
  std::array<uint32_t, kLitTableSize> lit_;
  std::array<uint32_t, kDistTableSize> dist_;
  std::array<uint32_t, kPreTableSize> pre_;
  unsigned litBits_ = 0;  // the roots' widths
  unsigned distBits_ = 0;
  std::array<uint8_t, kFirstChunk + 8> firstChunk_;  // filled before it is read
};

}  // namespace

// The decoder (its tables and first input, some 22 KB) lives on the stack: a package of many
// small parts would otherwise allocate and free it for each one.
InflateStatus Inflate(InflateSource& source, std::string& out, size_t limit, size_t sizeHint) {
  Inflater inflater(out, limit, sizeHint);
  inflater.SetSource(&source);
  return inflater.Run();
}

InflateStatus InflateBuffer(const uint8_t* data, size_t size, std::string& out, size_t limit,
                            size_t sizeHint) {
  Inflater inflater(out, limit, sizeHint);
  inflater.SetBuffer(data, size);
  return inflater.Run();
}

}  // namespace dkscr
