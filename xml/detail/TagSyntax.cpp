#include "xml/detail/TagSyntax.h"

#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "xml/detail/TreeShortcuts.h"

namespace dkscr {
namespace {

// Position of the first `c` in `text` from `from` on, or npos; quick on the short strings of
// tags.
size_t FindByte(std::string_view text, char c, size_t from = 0) {
  for (size_t i = from; i < text.size(); ++i) {
    if (text[i] == c) return i;
  }
  return std::string_view::npos;
}

// The tag name when the position of the token's first space is known (npos: none).
std::string_view TagNameViewAt(std::string_view token, size_t firstSpace) {
  if (token.empty()) return {};
  if (firstSpace != std::string_view::npos) return token.substr(1, firstSpace - 1);
  std::string_view rest = token.substr(1);
  size_t cut = FindByte(rest, ' ');
  if (cut == std::string_view::npos) cut = FindByte(rest, '/');
  if (cut == std::string_view::npos) cut = rest.empty() ? 0 : rest.size() - 1;
  return rest.substr(0, cut);
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

struct Escape {
  std::string_view from;
  std::string_view to;
};

constexpr Escape kEscapes[] = {
    {"<br/>", "\r\n"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"},
};

// Replaces every non-overlapping occurrence, left to right, in one pass over the original;
// `to` is shorter than `from`, so the result is written over the text itself.
void ReplaceAllShrinking(std::string& text, size_t begin, std::string_view from,
                         std::string_view to) {
  const char lead = from.front();
  const size_t size = text.size();
  char* const data = text.data();
  const char* hit = static_cast<const char*>(std::memchr(data + begin, lead, size - begin));
  if (hit == nullptr) return;
  size_t read = static_cast<size_t>(hit - data);
  size_t write = read;
  while (read < size) {
    if (data[read] == lead && size - read >= from.size() &&
        std::memcmp(data + read, from.data(), from.size()) == 0) {
      std::memcpy(data + write, to.data(), to.size());
      write += to.size();
      read += from.size();
      continue;
    }
    // Copy the run up to the next candidate in one go.
    const char* next = static_cast<const char*>(std::memchr(data + read + 1, lead, size - read - 1));
    const size_t end = next == nullptr ? size : static_cast<size_t>(next - data);
    if (write != read) std::memmove(data + write, data + read, end - read);
    write += end - read;
    read = end;
  }
  text.resize(write);
}

// Removes every occurrence of the two-byte pair `a b`, scanning the original once.
void DeletePairs(std::string& text, char a, char b) {
  const size_t size = text.size();
  char* const data = text.data();
  size_t write = 0;
  size_t read = 0;
  while (read < size) {
    if (data[read] == a && read + 1 < size && data[read + 1] == b) {
      read += 2;
      continue;
    }
    data[write++] = data[read++];
  }
  text.resize(write);
}

}  // namespace

std::string_view TrimControl(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= 0x20) ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 0x20) --end;
  return text.substr(begin, end - begin);
}

std::string TagName(std::string_view token) {
  return std::string(TagNameViewAt(token, std::string_view::npos));
}

namespace {

struct ParamEntry {
  std::string_view line;
  size_t eq;         // npos for a line without "="
  bool mayEscape;    // holds "&" or "<"
};

// Unquotes a value as stored: a leading and then a trailing double quote go, but only from
// values longer than two bytes.
std::string_view Unquoted(std::string_view value) {
  if (value.size() > 2) {
    if (value.front() == '"') value.remove_prefix(1);
    if (value.back() == '"') value.remove_suffix(1);
  }
  return value;
}

// The lines of a tag's attribute text: spaces outside double quotes end one (each such space
// a line break of its own, the last byte never examined), and so do the CRs and LFs already
// in the tag, a CR LF pair counting once. A break at the very end starts no further line.
// Bytes the attribute splitter must look at; all others are skipped in a tight loop.
struct ParamByteTable {
  bool special[256] = {};
  constexpr ParamByteTable() {
    for (unsigned char c : {'\r', '\n', '=', '&', '<', '"', ' '}) special[c] = true;
  }
};
constexpr ParamByteTable kParamBytes;

void SplitParamLines(std::string_view body, std::vector<ParamEntry>& entries) {
  bool inQuotes = false;
  size_t start = 0;
  size_t eq = std::string_view::npos;
  bool mayEscape = false;
  const char* const data = body.data();
  const size_t size = body.size();
  size_t i = 0;
  for (;;) {
    while (i < size && !kParamBytes.special[static_cast<unsigned char>(data[i])]) ++i;
    if (i >= size) break;
    const char c = data[i];
    size_t breakLength = 0;
    if (c == '\r') {
      breakLength = (i + 1 < size && data[i + 1] == '\n') ? 2 : 1;
    } else if (c == '\n') {
      breakLength = 1;
    } else if (c == '=') {
      if (eq == std::string_view::npos) eq = i - start;
    } else if (c == '&' || c == '<') {
      mayEscape = true;
    } else if (i + 1 < size) {  // the last byte is never examined for quotes and spaces
      if (c == '"') {
        inQuotes = !inQuotes;
      } else if (!inQuotes) {  // a space
        breakLength = 1;
      }
    }
    if (breakLength == 0) {
      ++i;
      continue;
    }
    entries.push_back({body.substr(start, i - start), eq, mayEscape});
    i += breakLength;
    start = i;
    eq = std::string_view::npos;
    mayEscape = false;
  }
  if (start < size) entries.push_back({body.substr(start), eq, mayEscape});
}

// Each entry takes the value the list holds for its name (that of the first line with the
// same name, ASCII case ignored, as rewritten so far), unquotes and decodes it, and stores it
// back into that first line under its own spelling of the name. Only tags that repeat a name
// come here; the others take the short way in ParseAttributes.
XmlAttributes ResolveRepeatedNames(const std::vector<ParamEntry>& entries,
                                const std::vector<size_t>& firstOfName) {
  const size_t count = entries.size();
  std::vector<std::string> lines(count);
  std::vector<bool> rewritten(count, false);
  for (size_t i = 0; i < count; ++i) {
    const ParamEntry& entry = entries[i];
    if (entry.eq == std::string_view::npos) continue;
    const size_t first = firstOfName[i];
    const std::string_view value =
        rewritten[first] ? std::string_view(lines[first]).substr(entries[first].eq + 1)
                         : entries[first].line.substr(entries[first].eq + 1);
    std::string decoded(Unquoted(value));
    DecodeEscapesInPlace(decoded);
    std::string line(entry.line.substr(0, entry.eq));
    line.append(1, '=').append(decoded);
    lines[first] = std::move(line);
    rewritten[first] = true;
  }
  for (size_t i = 0; i < count; ++i) {
    if (!rewritten[i]) lines[i].assign(entries[i].line);
  }
  return XmlAttributes(lines);
}

}  // namespace

std::string_view AttributesBodyOf(std::string_view token) {
  const size_t space = FindByte(token, ' ');
  if (space == std::string_view::npos) return {};
  std::string_view body = token.substr(space + 1);
  const size_t close = FindByte(body, '>');
  if (close != std::string_view::npos) {
    body = body.substr(0, close > 0 && body[close - 1] == '/' ? close - 1 : close);
  }
  return body;
}

XmlAttributes ParseAttributes(std::string_view token) { return ParseAttributesBody(AttributesBodyOf(token)); }

bool MayPreserveSpace(std::string_view body) {
  // Every line is a name from the text, "=" and a value, so the line xml:space=preserve needs
  // "space=" in the text. Most tags have a few "=" and none after "space".
  constexpr size_t kTail = 5;  // "space"
  const char* const data = body.data();
  const size_t size = body.size();
  size_t i = kTail;
#if defined(__SSE2__)
  const __m128i eq = _mm_set1_epi8('=');
  for (; i + 16 <= size; i += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    for (auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, eq)));
         mask != 0; mask &= mask - 1) {
      if (SpaceBeforeEquals(data + i + static_cast<size_t>(__builtin_ctz(mask)))) return true;
    }
  }
#endif
  for (; i < size; ++i) {
    if (data[i] == '=' && SpaceBeforeEquals(data + i)) return true;
  }
  return false;
}

XmlAttributes ParseAttributesBody(std::string_view body) {
  // Scratch space reused from tag to tag.
  thread_local std::vector<ParamEntry> entries;
  thread_local std::vector<size_t> firstOfName;
  thread_local std::string decoded;
  entries.clear();
  SplitParamLines(body, entries);
  const size_t count = entries.size();

  // Few attributes are compared pairwise; many go through a map, so that a hostile tag costs
  // no quadratic time.
  constexpr size_t kPairwiseLimit = 16;
  std::unordered_map<std::string, size_t> firstByName;
  firstOfName.assign(count, 0);
  bool repeated = false;
  for (size_t i = 0; i < count; ++i) {
    firstOfName[i] = i;
    if (entries[i].eq == std::string_view::npos) continue;
    const std::string_view name = entries[i].line.substr(0, entries[i].eq);
    if (count > kPairwiseLimit) {
      std::string key(name);
      for (char& c : key) c = LowerAscii(c);
      firstOfName[i] = firstByName.try_emplace(std::move(key), i).first->second;
    } else {
      for (size_t j = 0; j < i; ++j) {
        if (entries[j].eq == entries[i].eq && firstOfName[j] == j &&
            SameTextAscii(entries[j].line.substr(0, entries[j].eq), name)) {
          firstOfName[i] = j;
          break;
        }
      }
    }
    repeated = repeated || firstOfName[i] != i;
  }
  if (repeated) return ResolveRepeatedNames(entries, firstOfName);

  XmlAttributes params;
  params.Reserve(body.size() + count);
  for (const ParamEntry& entry : entries) {
    if (entry.eq == std::string_view::npos) {
      params.Add(entry.line);
      continue;
    }
    const std::string_view value = Unquoted(entry.line.substr(entry.eq + 1));
    if (!entry.mayEscape) {
      params.AddPair(entry.line.substr(0, entry.eq), value);
    } else {
      decoded.assign(value);
      DecodeEscapesInPlace(decoded);
      params.AddPair(entry.line.substr(0, entry.eq), decoded);
    }
  }
  return params;
}

size_t FindEscape(std::string_view text) {
  const char* const data = text.data();
  const size_t size = text.size();
  size_t pos = 0;
  while (pos < size) {
    const char* amp = static_cast<const char*>(std::memchr(data + pos, '&', size - pos));
    const char* lt = static_cast<const char*>(std::memchr(data + pos, '<', size - pos));
    const char* hit = amp == nullptr ? lt : (lt == nullptr || amp < lt ? amp : lt);
    if (hit == nullptr) return std::string_view::npos;
    const size_t at = static_cast<size_t>(hit - data);
    const std::string_view rest = text.substr(at);
    for (const Escape& e : kEscapes) {
      if (rest.starts_with(e.from)) return at;
    }
    pos = at + 1;
  }
  return std::string_view::npos;
}

void DecodeEscapesTail(std::string& text, size_t begin) {
  if (begin >= text.size()) return;
  const size_t size = text.size() - begin;
  if (std::memchr(text.data() + begin, '&', size) == nullptr &&
      std::memchr(text.data() + begin, '<', size) == nullptr) {
    return;
  }
  for (const Escape& e : kEscapes) ReplaceAllShrinking(text, begin, e.from, e.to);
}

void DecodeEscapesInPlace(std::string& text) { DecodeEscapesTail(text, 0); }

std::string DecodeEscapes(std::string_view text) {
  std::string result(text);
  DecodeEscapesInPlace(result);
  return result;
}

void DeleteLineBreakPairs(std::string& token) {
  if (std::memchr(token.data(), '\n', token.size()) == nullptr) return;  // every pair has an LF
  DeletePairs(token, '\r', '\n');
  DeletePairs(token, '\n', '\r');
}

}  // namespace dkscr
