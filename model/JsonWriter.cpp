#include "model/JsonWriter.h"

#include <cstdint>

#if defined(__SSE2__) && defined(__GNUC__)
#include <emmintrin.h>
#endif

#include "platform/ByteWords.h"
#include "platform/Utf.h"

namespace dkscr {
namespace {

constexpr size_t kSurrogateSequenceLength = 3;  // ED A0..BF 80..BF

bool IsPlainAscii(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 0x20 && byte < 0x80 && c != '"' && c != '\\';
}

// Whether all eight bytes at `p` are plain ASCII, eight at a time: a byte below 0x20 borrows
// into its high bit, one above 0x7F has it set, a quote or backslash becomes a zero byte.
bool WordIsPlainAscii(const char* p) {
  const uint64_t w = LoadWord(p);
  const uint64_t special =
      ((w - BytesOf(0x20)) & ~w) | HasZeroByte(w ^ BytesOf('"')) | HasZeroByte(w ^ BytesOf('\\')) | w;
  return (special & BytesOf(0x80)) == 0;
}

// The length of the run of plain ASCII at `p`, of at most `n` bytes: sixteen bytes at a time
// where the processor compares them at once, then eight, then one.
size_t PlainAsciiRun(const char* p, size_t n) {
  size_t i = 0;
#if defined(__SSE2__) && defined(__GNUC__)
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i backslash = _mm_set1_epi8('\\');
  const __m128i space = _mm_set1_epi8(0x20);
  // Compared as signed bytes, those from 0x80 on are below the space too.
  const auto specials = [&](const char* at) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    return _mm_movemask_epi8(
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, quote), _mm_cmpeq_epi8(v, backslash)), _mm_cmplt_epi8(v, space)));
  };
  for (; n - i >= 16; i += 16) {
    if (const int mask = specials(p + i); mask != 0) return i + static_cast<size_t>(__builtin_ctz(mask));
  }
  if (i > 0 && i < n) {
    // The last sixteen bytes, overlapping plain ones already passed, instead of a byte at a time.
    if (const int mask = specials(p + n - 16); mask != 0) return n - 16 + static_cast<size_t>(__builtin_ctz(mask));
    return n;
  }
#endif
  while (n - i >= sizeof(uint64_t) && WordIsPlainAscii(p + i)) i += sizeof(uint64_t);
  while (i < n && IsPlainAscii(p[i])) ++i;
  return i;
}

void AppendEscapedAscii(std::string& out, char c) {
  static constexpr char kHex[] = "0123456789abcdef";
  switch (c) {
    case '"': out += "\\\""; return;
    case '\\': out += "\\\\"; return;
    case '\b': out += "\\b"; return;
    case '\f': out += "\\f"; return;
    case '\n': out += "\\n"; return;
    case '\r': out += "\\r"; return;
    case '\t': out += "\\t"; return;
    default: break;
  }
  if (static_cast<unsigned char>(c) < 0x20) {
    out += "\\u00";
    out += kHex[(c >> 4) & 0xF];
    out += kHex[c & 0xF];
  } else {
    out += c;
  }
}

// The surrogate encoded at `at` as a three-byte sequence, or 0 when there is none.
char32_t SurrogateAt(std::string_view bytes, size_t at) {
  if (bytes.size() - at < kSurrogateSequenceLength) return 0;
  const auto b0 = static_cast<unsigned char>(bytes[at]);
  const auto b1 = static_cast<unsigned char>(bytes[at + 1]);
  const auto b2 = static_cast<unsigned char>(bytes[at + 2]);
  if (b0 != 0xED || b1 < 0xA0 || b1 > 0xBF || (b2 & 0xC0) != 0x80) return 0;
  return 0xD000 | static_cast<char32_t>((b1 & 0x3F) << 6) | (b2 & 0x3F);
}

// Repairs the non-ASCII sequence at `at` the dkscrbatch way; returns the bytes consumed.
size_t AppendJoiningSurrogates(std::string& out, std::string_view bytes, size_t at, bool& plain) {
  if (const char32_t first = SurrogateAt(bytes, at); first != 0) {
    plain = false;
    const char32_t second = IsHighSurrogate(first) ? SurrogateAt(bytes, at + kSurrogateSequenceLength) : 0;
    if (IsLowSurrogate(second)) {
      AppendUtf8(0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00), out);
      return 2 * kSurrogateSequenceLength;
    }
    AppendUtf8(kReplacementChar, out);
    return kSurrogateSequenceLength;
  }
  char32_t codePoint = 0;
  bool valid = false;
  const size_t length = DecodeUtf8Sequence(bytes, at, codePoint, valid);
  if (valid) {
    out.append(bytes.substr(at, length));
    return length;
  }
  plain = false;
  AppendUtf8(kReplacementChar, out);
  return 1;
}

}  // namespace

bool AppendJsonString(std::string& out, std::string_view bytes, JsonStringOptions options) {
  bool plain = true;
  out.reserve(out.size() + bytes.size() + 2);
  out += '"';
  size_t at = 0;
  while (at < bytes.size()) {
    // A run of printable ASCII other than the quote and the backslash is copied as it stands.
    const size_t plainEnd = at + PlainAsciiRun(bytes.data() + at, bytes.size() - at);
    if (plainEnd != at) {
      out.append(bytes.substr(at, plainEnd - at));
      at = plainEnd;
      continue;
    }
    if (static_cast<unsigned char>(bytes[at]) < 0x80) {
      if (options.crLfAsLf && bytes[at] == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n') ++at;
      AppendEscapedAscii(out, bytes[at]);
      ++at;
    } else if (options.repair == Utf8Repair::kJoinSurrogatePairs) {
      at += AppendJoiningSurrogates(out, bytes, at, plain);
    } else {
      char32_t codePoint = 0;
      bool valid = false;
      const size_t length = DecodeUtf8Sequence(bytes, at, codePoint, valid);
      if (valid) {
        out.append(bytes.substr(at, length));
      } else {
        plain = false;
        AppendUtf8(kReplacementChar, out);
      }
      at += length;
    }
  }
  out += '"';
  return plain;
}

}  // namespace dkscr
