#include "app/session/ProfileFile.h"

#include <cerrno>
#include <limits>

#include "app/session/AtomicFile.h"

namespace dkscr {
namespace {

constexpr size_t npos = std::string::npos;

std::string_view Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == npos) return {};
  const size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

// The section name of a header line ("[name]", leading white space allowed), or nullopt.
std::optional<std::string_view> HeaderName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  line.remove_prefix(1);
  const size_t close = line.find(']');
  return Trim(line.substr(0, close));
}

bool IsQuoted(std::string_view value) {
  return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
         value.back() == value.front();
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ParseHex(std::string_view digits, uint32_t& value) {
  if (digits.empty()) return false;
  uint64_t v = 0;
  for (char c : digits) {
    const int d = HexDigit(c);
    if (d < 0) return false;
    v = v * 16 + static_cast<uint64_t>(d);
    if (v > std::numeric_limits<uint32_t>::max()) return false;
  }
  value = static_cast<uint32_t>(v);
  return true;
}

}  // namespace

bool ParseProfileInteger(std::string_view text, int32_t& value) {
  if (text.size() >= 3 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    uint32_t v = 0;
    if (!ParseHex(text, v)) return false;
    value = static_cast<int32_t>(v);
    return true;
  }
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (!text.empty() && text[0] == '$') {
    uint32_t v = 0;
    if (!ParseHex(text.substr(1), v)) return false;
    value = static_cast<int32_t>(negative ? 0u - v : v);
    return true;
  }
  if (text.empty()) return false;
  int64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
    if (v > int64_t{std::numeric_limits<int32_t>::max()} + 1) return false;
  }
  if (negative) v = -v;
  if (v > std::numeric_limits<int32_t>::max()) return false;
  value = static_cast<int32_t>(v);
  return true;
}

void ProfileFile::Parse(std::string_view bytes) {
  lines_.clear();
  lineEnd_ = "\r\n";
  bool endSeen = false;
  size_t start = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') continue;
    const bool crlf = bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n';
    if (!endSeen) {
      lineEnd_ = crlf ? "\r\n" : std::string(1, bytes[i]);
      endSeen = true;
    }
    lines_.emplace_back(bytes.substr(start, i - start));
    if (crlf) ++i;
    start = i + 1;
  }
  if (start < bytes.size()) lines_.emplace_back(bytes.substr(start));
}

std::string ProfileFile::Serialize() const {
  std::string out;
  for (const std::string& line : lines_) {
    out += line;
    out += lineEnd_;
  }
  return out;
}

int ProfileFile::Load(const std::string& nativePath) {
  std::string bytes;
  const int err = ReadWholeFile(nativePath, bytes);
  if (err != 0 && err != ENOENT) return err;
  Parse(bytes);
  return 0;
}

int ProfileFile::Save(const std::string& nativePath) const {
  return ReplaceFileAtomically(nativePath, Serialize());
}

size_t ProfileFile::FindSection(std::string_view section) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    const auto name = HeaderName(lines_[i]);
    if (name && SameName(*name, section)) return i;
  }
  return npos;
}

size_t ProfileFile::SectionEnd(size_t header) const {
  size_t i = header + 1;
  while (i < lines_.size() && !HeaderName(lines_[i])) ++i;
  return i;
}

std::optional<ProfileFile::KeyLine> ProfileFile::FindKey(size_t header,
                                                           std::string_view key) const {
  const size_t end = SectionEnd(header);
  for (size_t i = header + 1; i < end; ++i) {
    const std::string_view line = lines_[i];
    const size_t eq = line.find('=');
    if (eq == npos) continue;
    if (SameName(Trim(line.substr(0, eq)), key)) return KeyLine{i, line.substr(eq + 1)};
  }
  return std::nullopt;
}

std::optional<std::string> ProfileFile::ReadString(std::string_view section,
                                                    std::string_view key) const {
  const size_t header = FindSection(section);
  if (header == npos) return std::nullopt;
  const auto found = FindKey(header, key);
  if (!found) return std::nullopt;
  std::string_view value = Trim(found->value);
  if (IsQuoted(value)) value = value.substr(1, value.size() - 2);
  return std::string(value.substr(0, kMaxValueBytes));
}

std::string ProfileFile::ReadString(std::string_view section, std::string_view key,
                                     std::string_view defaultValue) const {
  auto value = ReadString(section, key);
  return value ? std::move(*value) : std::string(defaultValue);
}

int32_t ProfileFile::ReadInteger(std::string_view section, std::string_view key,
                                  int32_t defaultValue) const {
  const auto text = ReadString(section, key);
  int32_t value = 0;
  return text && ParseProfileInteger(*text, value) ? value : defaultValue;
}

bool ProfileFile::ReadBool(std::string_view section, std::string_view key,
                            bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void ProfileFile::WriteString(std::string_view section, std::string_view key,
                               std::string_view value) {
  value = value.substr(0, value.find_first_of(std::string_view("\r\n\0", 3)));
  std::string text(value);
  if (Trim(value).size() != value.size() || IsQuoted(value)) text = '"' + text + '"';
  std::string line = std::string(key) + "=" + text;

  size_t header = FindSection(section);
  if (header == npos) {
    lines_.push_back("[" + std::string(section) + "]");
    lines_.push_back(std::move(line));
    return;
  }
  if (const auto found = FindKey(header, key)) {
    lines_[found->line] = std::move(line);
    return;
  }
  // After the section's last non-blank line, so blank lines before the next section stay.
  size_t at = SectionEnd(header);
  while (at > header + 1 && Trim(lines_[at - 1]).empty()) --at;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

void ProfileFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void ProfileFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

}  // namespace dkscr
