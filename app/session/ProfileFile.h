#pragma once
// Our own initialization-file store ("key=value" lines under "[section]" headers), following
// the rules of the Windows private-profile functions that the settings file was made for:
// names match without regard to ASCII case, values are trimmed and unquoted when read and
// cut to 2047 bytes, a written key replaces its line in place or is added at the end of its
// section, and every other section, key and line is kept as it was. Texts are bytes (the
// file's own code page); the caller decodes them.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dkscr {

// Parses an integer value: "0x"/"0X" followed by hexadecimal digits (three characters or
// more), otherwise an optional sign and decimal digits or "$" and hexadecimal digits.
// Hexadecimal values take 32 bits and wrap into the signed range. False when the whole text
// is not such a number or it does not fit.
bool ParseProfileInteger(std::string_view text, int32_t& value);

class ProfileFile {
 public:
  static constexpr size_t kMaxValueBytes = 2047;

  // Replaces the content with the lines of `bytes` (CR LF, LF or a lone CR end a line).
  void Parse(std::string_view bytes);
  // The content as a file; lines end as they did in the parsed file (CR LF for a new one).
  std::string Serialize() const;

  // Reads a file: 0 on success, also for a missing file (then empty); otherwise the errno.
  int Load(const std::string& nativePath);
  // Replaces the file atomically: 0 on success, otherwise the errno (the old file is kept).
  int Save(const std::string& nativePath) const;

  // The value of a key, trimmed, unquoted and cut to kMaxValueBytes; nullopt when the
  // section or the key is missing. The first matching section and key count.
  std::optional<std::string> ReadString(std::string_view section, std::string_view key) const;
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  // Missing keys and values that do not parse give the default.
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t defaultValue) const;
  // Any integer other than 0 is true.
  bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

  // Sets a key, adding the section at the end and the key at the end of its section when
  // missing. A value is cut at its first CR, LF or zero byte, which a line cannot hold; one
  // that reading would change (white space at either end, or enclosed in matching quotation
  // marks) is written inside double quotation marks so that it reads back unchanged.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);

  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  struct KeyLine {
    size_t line;
    std::string_view value;  // raw text after "="
  };
  // Line index of the first section header of that name, or npos.
  size_t FindSection(std::string_view section) const;
  // Index just past the section's last line (the next header or the end).
  size_t SectionEnd(size_t header) const;
  std::optional<KeyLine> FindKey(size_t header, std::string_view key) const;

  std::vector<std::string> lines_;
  std::string lineEnd_ = "\r\n";
};

}  // namespace dkscr
