#include "zip/Inflate.h"

#include <gtest/gtest.h>

#include <bit>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/ZipWriter.h"

namespace dkscr {
namespace {

using test::RawDeflate;

InflateStatus InflateString(const std::string& packed, std::string& out,
                            size_t limit = 1u << 26) {
  out.clear();
  return InflateBuffer(reinterpret_cast<const uint8_t*>(packed.data()), packed.size(), out, limit);
}

// zlib's decoding of the raw stream to its end, or none when it fails.
std::optional<std::string> ZlibInflate(const std::string& packed) {
  z_stream zs{};
  inflateInit2(&zs, -15);
  std::string out(1 << 16, '\0');
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
  zs.avail_in = static_cast<uInt>(packed.size());
  zs.next_out = reinterpret_cast<Bytef*>(out.data());
  zs.avail_out = static_cast<uInt>(out.size());
  const int rc = inflate(&zs, Z_FINISH);
  out.resize(out.size() - zs.avail_out);
  inflateEnd(&zs);
  if (rc != Z_STREAM_END) return std::nullopt;
  return out;
}

// Whether zlib decodes the raw stream to its end.
bool ZlibAccepts(const std::string& packed) { return ZlibInflate(packed).has_value(); }

// Hands out its bytes a few at a time, to cross chunk borders everywhere.
class TrickleSource : public InflateSource {
 public:
  TrickleSource(std::string data, size_t step) : data_(std::move(data)), step_(step) {}
  size_t Read(uint8_t* buffer, size_t capacity) override {
    const size_t n = std::min({step_, capacity, data_.size() - pos_});
    std::copy_n(data_.data() + pos_, n, reinterpret_cast<char*>(buffer));
    pos_ += n;
    return n;
  }

 private:
  std::string data_;
  size_t step_;
  size_t pos_ = 0;
};

// Deflate bits, least significant first; Huffman codes are given as they are sent.
class BitWriter {
 public:
  BitWriter& Bits(uint32_t value, int count) {
    for (int i = 0; i < count; ++i) Bit(i < 32 ? (value >> i) & 1 : 0);
    return *this;
  }
  // A Huffman codeword of `length` bits, most significant bit first.
  BitWriter& Code(uint32_t code, int length) {
    for (int i = length - 1; i >= 0; --i) Bit((code >> i) & 1);
    return *this;
  }
  std::string Bytes() const { return bytes_; }

 private:
  void Bit(uint32_t bit) {
    if (used_ % 8 == 0) bytes_.push_back('\0');
    if (bit) bytes_.back() = static_cast<char>(bytes_.back() | (1 << (used_ % 8)));
    ++used_;
  }
  std::string bytes_;
  size_t used_ = 0;
};

// Fixed-code literal/length symbols.
void FixedSymbol(BitWriter& w, unsigned sym) {
  if (sym < 144) w.Code(0x30 + sym, 8);
  else if (sym < 256) w.Code(0x190 + sym - 144, 9);
  else if (sym < 280) w.Code(sym - 256, 7);
  else w.Code(0xC0 + sym - 280, 8);
}

std::string TextSample(size_t size) {
  std::mt19937 rng(42);
  static const char* words[] = {"<a:t>", "slide", "</a:t>", "paragraph ", "the ", "text ",
                                "<a:p>", "run", " xml:space=\"preserve\"", "\r\n"};
  std::string s;
  while (s.size() < size) s += words[rng() % 10];
  s.resize(size);
  return s;
}

std::string RandomBytes(size_t size, uint32_t seed) {
  std::mt19937 rng(seed);
  std::string s(size, '\0');
  for (char& c : s) c = static_cast<char>(rng());
  return s;
}

TEST(InflateTest, RoundTripsZlibOutputOfEveryKind) {
  const std::vector<std::string> samples = {
      "", "a", TextSample(100), TextSample(70000), RandomBytes(5000, 1), std::string(100000, ' '),
      [] {  // short-distance patterns (2..7) and long matches across the window
        std::string s;
        for (int d = 2; d <= 7; ++d) s += std::string(d, 'x') + std::string(d, 'y') + "abcdefg";
        std::string t;
        for (int i = 0; i < 40; ++i) t += s.substr(0, 5 + i % 30) + std::to_string(i * 7919);
        return t + TextSample(40000) + t;
      }()};
  const int strategies[] = {Z_DEFAULT_STRATEGY, Z_FIXED, Z_HUFFMAN_ONLY, Z_RLE, Z_FILTERED};
  for (const std::string& data : samples) {
    for (int level : {0, 1, 6, 9}) {
      for (int strategy : strategies) {
        const std::string packed = RawDeflate(data, level, strategy);
        std::string out;
        ASSERT_EQ(InflateString(packed, out), InflateStatus::kDone)
            << data.size() << " level " << level << " strategy " << strategy;
        ASSERT_EQ(out, data);
      }
    }
  }
}

TEST(InflateTest, PullsInputAcrossChunkBorders) {
  const std::string data = TextSample(50000) + RandomBytes(3000, 7) + TextSample(2000);
  for (int level : {0, 6}) {
    const std::string packed = RawDeflate(data, level);
    for (size_t step : {1u, 3u, 8u, 9u, 4093u}) {
      TrickleSource source(packed, step);
      std::string out;
      ASSERT_EQ(Inflate(source, out, 1u << 20), InflateStatus::kDone) << step;
      ASSERT_EQ(out, data) << step;
    }
  }
}

// Gives whatever is asked for, and notes the sizes asked.
class CountingSource : public InflateSource {
 public:
  explicit CountingSource(std::string data) : data_(std::move(data)) {}
  size_t Read(uint8_t* buffer, size_t capacity) override {
    asked.push_back(capacity);
    const size_t n = std::min(capacity, data_.size() - pos_);
    std::copy_n(data_.data() + pos_, n, reinterpret_cast<char*>(buffer));
    pos_ += n;
    return n;
  }
  std::vector<size_t> asked;

 private:
  std::string data_;
  size_t pos_ = 0;
};

TEST(InflateTest, SmallInputsReadOnceLargeOnesInWholeChunks) {
  // The first read fills a small buffer; a stream that fills it goes on in 32 KiB reads, one
  // that does not is read to its end with no second buffer. Streams ending right at the first
  // buffer's size and just past it decode as well.
  const std::string large = RandomBytes(100000, 3);
  const std::string packedLarge = RawDeflate(large, 0);
  CountingSource source(packedLarge);
  std::string out;
  ASSERT_EQ(Inflate(source, out, 1u << 20), InflateStatus::kDone);
  EXPECT_EQ(out, large);
  ASSERT_GE(source.asked.size(), 3u);
  EXPECT_LT(source.asked[0], 32768u);
  for (size_t i = 1; i < source.asked.size(); ++i) EXPECT_EQ(source.asked[i], 32768u) << i;

  for (size_t size : {1000u, 4080u, 4086u, 4091u, 4096u, 4101u, 9000u}) {
    const std::string data = RandomBytes(size, 11);
    const std::string packed = RawDeflate(data, 0);  // stored: five bytes a block over the data
    CountingSource small(packed);
    out.clear();
    ASSERT_EQ(Inflate(small, out, 1u << 20), InflateStatus::kDone) << size;
    EXPECT_EQ(out, data) << size;
    if (packed.size() < source.asked[0]) {
      EXPECT_LE(small.asked.size(), 2u) << size;  // the data, perhaps then the end
      for (const size_t asked : small.asked) EXPECT_EQ(asked, source.asked[0]) << size;
    }
  }
}

TEST(InflateTest, AppendsWithoutReachingIntoEarlierBytes) {
  auto append = [](const std::string& packed, std::string& out) {
    return InflateBuffer(reinterpret_cast<const uint8_t*>(packed.data()), packed.size(), out, 1000);
  };
  std::string out = "earlier";
  ASSERT_EQ(append(RawDeflate("hello hello hello"), out), InflateStatus::kDone);
  EXPECT_EQ(out, "earlierhello hello hello");
  // A match 3 back as the very first symbol would need the earlier bytes: invalid.
  BitWriter w;
  w.Bits(1, 1).Bits(1, 2);
  FixedSymbol(w, 257);  // length 3
  w.Code(2, 5);         // distance 3
  FixedSymbol(w, 256);
  out = "abc";
  EXPECT_EQ(append(w.Bytes(), out), InflateStatus::kInvalid);
  EXPECT_EQ(out, "abc");
}

TEST(InflateTest, DistanceMayReachTheOutputStartButNotBeforeIt) {
  // "ab", then a match of length 3 at distance 2 (exactly the output so far) or 3 (one past).
  auto stream = [](unsigned distanceCode) {
    BitWriter w;
    w.Bits(1, 1).Bits(1, 2);
    FixedSymbol(w, 'a');
    FixedSymbol(w, 'b');
    FixedSymbol(w, 257);         // length 3
    w.Code(distanceCode, 5);     // codes 1 and 2: distances 2 and 3
    FixedSymbol(w, 256);
    return w.Bytes();
  };
  for (const std::string earlier : {"", "xyz"}) {
    std::string out = earlier;
    const std::string at = stream(1);
    EXPECT_EQ(InflateBuffer(reinterpret_cast<const uint8_t*>(at.data()), at.size(), out, 100),
              InflateStatus::kDone);
    EXPECT_EQ(out, earlier + "ababa");
    out = earlier;
    const std::string past = stream(2);
    EXPECT_EQ(InflateBuffer(reinterpret_cast<const uint8_t*>(past.data()), past.size(), out, 100),
              InflateStatus::kInvalid);
    EXPECT_EQ(out, earlier + "ab");
  }
}

TEST(InflateTest, StopsExactlyAtTheLimit) {
  const std::string data = TextSample(20000) + std::string(5000, 'z');
  const std::string packed = RawDeflate(data);
  for (size_t limit : {0u, 1u, 100u, 19999u, 20100u, 24999u}) {
    std::string out;
    EXPECT_EQ(InflateString(packed, out, limit), InflateStatus::kOutputLimit) << limit;
    EXPECT_EQ(out, data.substr(0, limit)) << limit;
  }
  std::string out;
  EXPECT_EQ(InflateString(packed, out, data.size()), InflateStatus::kDone);
  EXPECT_EQ(out, data);
  // Stored blocks too.
  out.clear();
  EXPECT_EQ(InflateString(RawDeflate(data, 0), out, 777), InflateStatus::kOutputLimit);
  EXPECT_EQ(out, data.substr(0, 777));
}

// A match followed by a few literals that end the stream, with the output's room exactly its
// size: the copies that write whole words past a match's end must stay inside it. Lengths and
// distances on both sides of the word size and of the five words copied unconditionally.
TEST(InflateTest, MatchesNearTheExactOutputSize) {
  const std::string tail = RandomBytes(48, 99);
  for (size_t distance : {1u, 2u, 7u, 8u, 9u, 39u, 40u, 41u, 100u}) {
    const std::string period = RandomBytes(distance, static_cast<unsigned>(distance));
    for (size_t length : {3u, 4u, 7u, 8u, 9u, 16u, 39u, 40u, 41u, 100u, 258u}) {
      for (size_t after = 0; after <= tail.size(); ++after) {
        std::string data;
        while (data.size() < distance + length) data += period;
        data.resize(distance + length);
        data += tail.substr(0, after);
        const std::string packed = RawDeflate(data, 9);
        std::string out;
        ASSERT_EQ(InflateString(packed, out, data.size()), InflateStatus::kDone)
            << distance << "/" << length << "/" << after;
        ASSERT_EQ(out, data) << distance << "/" << length << "/" << after;
        ASSERT_EQ(InflateString(packed, out, data.size() - 1), InflateStatus::kOutputLimit);
        ASSERT_EQ(out, data.substr(0, data.size() - 1)) << distance << "/" << length;
      }
    }
  }
}

TEST(InflateTest, EveryTruncationFails) {
  const std::string data = TextSample(3000) + RandomBytes(300, 3);
  for (int level : {0, 6}) {
    const std::string packed = RawDeflate(data, level);
    for (size_t cut = 0; cut < packed.size(); ++cut) {
      std::string out;
      const InflateStatus status = InflateString(packed.substr(0, cut), out);
      ASSERT_NE(status, InflateStatus::kDone) << cut;
    }
  }
}

TEST(InflateTest, HandBuiltBlocks) {
  std::string out;
  // Empty stored final block.
  EXPECT_EQ(InflateString(std::string("\x01\x00\x00\xFF\xFF", 5), out), InflateStatus::kDone);
  EXPECT_EQ(out, "");
  // Fixed block with only the end-of-block code.
  EXPECT_EQ(InflateString(std::string("\x03\x00", 2), out), InflateStatus::kDone);
  // Non-final stored block followed by a fixed block holding "A".
  BitWriter w;
  w.Bits(0, 1).Bits(0, 2).Bits(0, 5).Bits(2, 16).Bits(0xFFFD, 16).Bits('h', 8).Bits('i', 8);
  w.Bits(1, 1).Bits(1, 2);
  FixedSymbol(w, 'A');
  FixedSymbol(w, 256);
  EXPECT_EQ(InflateString(w.Bytes(), out), InflateStatus::kDone);
  EXPECT_EQ(out, "hiA");
}

TEST(InflateTest, RejectsInvalidStreams) {
  auto status = [](const std::string& bytes) {
    std::string out;
    return InflateString(bytes, out);
  };
  // Reserved block type 3.
  EXPECT_EQ(status(BitWriter().Bits(1, 1).Bits(3, 2).Bits(0, 13).Bytes()), InflateStatus::kInvalid);
  // Stored length not matching its complement.
  EXPECT_EQ(status(std::string("\x01\x05\x00\xFF\xFF" "abcde", 10)), InflateStatus::kInvalid);
  // Fixed codes 286 and 287 and distance codes 30 and 31 do not exist.
  for (unsigned sym : {286u, 287u}) {
    BitWriter w;
    w.Bits(1, 1).Bits(1, 2);
    FixedSymbol(w, sym);
    w.Bits(0, 16);
    EXPECT_EQ(status(w.Bytes()), InflateStatus::kInvalid) << sym;
  }
  for (unsigned dist : {30u, 31u}) {
    BitWriter w;
    w.Bits(1, 1).Bits(1, 2);
    FixedSymbol(w, 'a');
    FixedSymbol(w, 257);
    w.Code(dist, 5).Bits(0, 16);
    EXPECT_EQ(status(w.Bytes()), InflateStatus::kInvalid) << dist;
  }
  // Dynamic headers: too many literal/length codes (HLIT 30 -> 287).
  EXPECT_EQ(status(BitWriter().Bits(1, 1).Bits(2, 2).Bits(30, 5).Bits(0, 5).Bits(0, 4).Bits(0, 40).Bytes()),
            InflateStatus::kInvalid);
  // Too many distance codes (HDIST 30 -> 31).
  EXPECT_EQ(status(BitWriter().Bits(1, 1).Bits(2, 2).Bits(0, 5).Bits(30, 5).Bits(0, 4).Bits(0, 40).Bytes()),
            InflateStatus::kInvalid);
}

// A dynamic block whose precode gives symbols 0..15 code lengths via `lengths` (4 bits each
// for precode symbols 0-15 in a flat 4-bit code), then the given literal/length and distance
// code lengths. Symbols 16-18 get no code, so every length is sent literally.
std::string DynamicHeader(const std::vector<uint8_t>& litLengths,
                          const std::vector<uint8_t>& distLengths, BitWriter& w) {
  w.Bits(1, 1).Bits(2, 2);
  w.Bits(static_cast<uint32_t>(litLengths.size() - 257), 5);
  w.Bits(static_cast<uint32_t>(distLengths.size() - 1), 5);
  w.Bits(19 - 4, 4);  // all 19 precode lengths
  static const int order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
  for (int sym : order) w.Bits(sym < 16 ? 4 : 0, 3);
  // Sixteen 4-bit codes: symbol s has code s.
  for (uint8_t len : litLengths) w.Code(len, 4);
  for (uint8_t len : distLengths) w.Code(len, 4);
  return w.Bytes();
}

TEST(InflateTest, CodeCompletenessFollowsZlib) {
  // Dynamic blocks with hand-set code lengths; each verdict here is zlib's too. Literal codes
  // of one bit: 'a' is code 0, the next one code 1; two bits: 0, 1, 2 ... in symbol order.
  const struct {
    const char* what;
    std::vector<std::pair<unsigned, uint8_t>> lit;  // symbol, code length
    uint8_t dist;                                      // length of the only distance code
    std::vector<std::pair<uint32_t, int>> codes;       // the data: code, length
    const char* out;                                   // nullptr: invalid
  } cases[] = {
      {"complete", {{'a', 1}, {256, 1}}, 0, {{0, 1}, {0, 1}, {1, 1}}, "aa"},
      {"only end-of-block, one bit", {{256, 1}}, 0, {{0, 1}}, ""},
      {"only end-of-block, two bits", {{256, 2}}, 0, {{0, 2}}, nullptr},
      {"no end-of-block", {{'a', 1}, {'b', 1}}, 0, {{0, 16}}, nullptr},
      {"over-subscribed", {{'a', 1}, {'b', 1}, {256, 1}}, 0, {{0, 16}}, nullptr},
      // a, length 3, distance code, end: a single one-bit distance code works ...
      {"one distance code", {{'a', 1}, {256, 2}, {257, 2}}, 1, {{0, 1}, {3, 2}, {0, 1}, {2, 2}}, "aaaa"},
      // ... and its unused twin is invalid.
      {"unused distance twin", {{'a', 1}, {256, 2}, {257, 2}}, 1, {{0, 1}, {3, 2}, {1, 1}, {2, 2}}, nullptr},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> lit(c.dist ? 258 : 257, 0);
    for (const auto& [sym, len] : c.lit) lit[sym] = len;
    BitWriter w;
    DynamicHeader(lit, {c.dist}, w);
    for (const auto& [code, len] : c.codes) w.Code(code, len);
    std::string out;
    EXPECT_EQ(InflateString(w.Bytes(), out), c.out ? InflateStatus::kDone : InflateStatus::kInvalid) << c.what;
    EXPECT_EQ(ZlibAccepts(w.Bytes()), c.out != nullptr) << c.what;
    if (c.out) {
      EXPECT_EQ(out, c.out) << c.what;
    }
  }
}

TEST(InflateTest, LongCodesUseSubtables) {
  // Deflating a skewed alphabet makes literal codes of up to 15 bits.
  std::string data;
  std::mt19937 rng(5);
  for (int i = 0; i < 200000; ++i) {
    const uint32_t r = rng();
    int sym = 0;
    while (sym < 255 && (r >> (sym % 32) & 1) && sym < 30) ++sym;
    data.push_back(static_cast<char>(sym * 8 + (rng() % 2 ? 0 : (rng() % 256 == 0 ? 7 : 0))));
  }
  for (int strategy : {Z_HUFFMAN_ONLY, Z_DEFAULT_STRATEGY}) {
    std::string out;
    ASSERT_EQ(InflateString(RawDeflate(data, 9, strategy), out), InflateStatus::kDone);
    ASSERT_EQ(out, data);
  }
}

TEST(InflateTest, SmallStreamsOfEveryLongestCodeAgreeWithZlib) {
  // Small parts have short codes, whose tables are only as wide as their longest code: streams
  // over alphabets of 1 to 40 symbols, evenly or steeply skewed, give longest literal and
  // distance codes of every length from 1 up. Each decodes as zlib decodes it, and so does
  // each copy with one bit flipped in its first bytes (the code lengths), which the decoder
  // must read or reject exactly as zlib does.
  std::mt19937 rng(29);
  int flipped = 0;
  for (int alphabet = 1; alphabet <= 40; alphabet += (alphabet < 12 ? 1 : 7)) {
    for (int steep : {0, 1}) {
      for (size_t size : {1u, 7u, 60u, 300u, 1500u}) {
        std::string data;
        while (data.size() < size) {
          int sym = static_cast<int>(rng() % static_cast<uint32_t>(alphabet));
          if (steep) sym = std::min(sym, static_cast<int>(std::countr_zero(rng() | 0x80000000u)));
          data.push_back(static_cast<char>('A' + sym));
          // Repeats now and then give matches, and so distance codes.
          if (rng() % 8 == 0 && data.size() > 4) data += data.substr(data.size() - 4);
        }
        for (int strategy : {Z_DEFAULT_STRATEGY, Z_HUFFMAN_ONLY}) {
          const std::string packed = RawDeflate(data, 9, strategy);
          std::string out;
          ASSERT_EQ(InflateString(packed, out), InflateStatus::kDone) << alphabet << " " << size;
          ASSERT_EQ(out, data) << alphabet << " " << size;
          for (size_t bit = 0; bit < std::min<size_t>(packed.size() * 8, 96); bit += 1 + rng() % 5) {
            std::string damaged = packed;
            damaged[bit / 8] = static_cast<char>(damaged[bit / 8] ^ (1 << (bit % 8)));
            const std::optional<std::string> expected = ZlibInflate(damaged);
            const InflateStatus status = InflateString(damaged, out);
            ASSERT_EQ(status == InflateStatus::kDone, expected.has_value()) << alphabet << " " << size << " bit " << bit;
            if (expected) {
              ASSERT_EQ(out, *expected) << alphabet << " " << size << " bit " << bit;
            }
            ++flipped;
          }
        }
      }
    }
  }
  EXPECT_GT(flipped, 1000);
}

}  // namespace
}  // namespace dkscr
