#pragma once
// A strict JSON reader for tests (RFC 8259): parses a whole text into a value tree and
// rejects anything else, so that tests can check a writer's output is valid JSON and read it
// back. Header only; recursion is fine for the small documents tests make.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dkscr::test {

struct JsonValue {
  enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject } kind = Kind::kNull;
  bool boolean = false;
  double number = 0;
  std::string text;  // UTF-8
  std::vector<JsonValue> items;  // of an array; of an object, its member values
  std::vector<std::string> names;  // of an object, its member names in document order

  const JsonValue& operator[](std::string_view name) const {
    for (size_t i = 0; i < names.size(); ++i) {
      if (names[i] == name) return items[i];
    }
    static const JsonValue kMissing;
    return kMissing;
  }
  const JsonValue& operator[](size_t index) const { return items.at(index); }
  std::vector<std::string> Strings() const {
    std::vector<std::string> out;
    for (const JsonValue& item : items) out.push_back(item.text);
    return out;
  }
  // Every string value below this one, each followed by a line feed, in document order.
  void AppendAllStrings(std::string& out) const {
    if (kind == Kind::kString) out += text + "\n";
    for (const JsonValue& item : items) item.AppendAllStrings(out);
  }
};

class JsonParser {
 public:
  // The value of the whole text, or nothing when it is not exactly one valid JSON value.
  static std::optional<JsonValue> Parse(std::string_view text) {
    JsonParser parser(text);
    JsonValue value;
    if (!parser.Value(value, 0)) return std::nullopt;
    parser.Blanks();
    if (parser.at_ != text.size()) return std::nullopt;
    return value;
  }

 private:
  explicit JsonParser(std::string_view text) : s_(text) {}

  void Blanks() {
    while (at_ < s_.size() && (s_[at_] == ' ' || s_[at_] == '\t' || s_[at_] == '\n' || s_[at_] == '\r')) ++at_;
  }
  bool Literal(std::string_view word) {
    if (s_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }
  bool Value(JsonValue& v, int depth) {
    if (depth > 200) return false;
    Blanks();
    if (at_ >= s_.size()) return false;
    const char c = s_[at_];
    if (c == '{') return Object(v, depth);
    if (c == '[') return Array(v, depth);
    if (c == '"') {
      v.kind = JsonValue::Kind::kString;
      return String(v.text);
    }
    if (Literal("true")) return v.kind = JsonValue::Kind::kBool, v.boolean = true, true;
    if (Literal("false")) return v.kind = JsonValue::Kind::kBool, v.boolean = false, true;
    if (Literal("null")) return v.kind = JsonValue::Kind::kNull, true;
    return Number(v);
  }
  bool Number(JsonValue& v) {
    const size_t start = at_;
    if (at_ < s_.size() && s_[at_] == '-') ++at_;
    if (at_ >= s_.size() || s_[at_] < '0' || s_[at_] > '9') return false;
    if (s_[at_] == '0') ++at_;
    else while (at_ < s_.size() && s_[at_] >= '0' && s_[at_] <= '9') ++at_;
    if (at_ < s_.size() && s_[at_] == '.') {
      ++at_;
      if (at_ >= s_.size() || s_[at_] < '0' || s_[at_] > '9') return false;
      while (at_ < s_.size() && s_[at_] >= '0' && s_[at_] <= '9') ++at_;
    }
    if (at_ < s_.size() && (s_[at_] == 'e' || s_[at_] == 'E')) {
      ++at_;
      if (at_ < s_.size() && (s_[at_] == '+' || s_[at_] == '-')) ++at_;
      if (at_ >= s_.size() || s_[at_] < '0' || s_[at_] > '9') return false;
      while (at_ < s_.size() && s_[at_] >= '0' && s_[at_] <= '9') ++at_;
    }
    v.kind = JsonValue::Kind::kNumber;
    v.number = std::stod(std::string(s_.substr(start, at_ - start)));
    return true;
  }
  bool Hex4(uint32_t& value) {
    if (at_ + 4 > s_.size()) return false;
    value = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = s_[at_++];
      value <<= 4;
      if (c >= '0' && c <= '9') value |= static_cast<uint32_t>(c - '0');
      else if (c >= 'a' && c <= 'f') value |= static_cast<uint32_t>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F') value |= static_cast<uint32_t>(c - 'A' + 10);
      else return false;
    }
    return true;
  }
  static void PutUtf8(uint32_t cp, std::string& out) {
    if (cp < 0x80) out += static_cast<char>(cp);
    else if (cp < 0x800) out += static_cast<char>(0xC0 | (cp >> 6)), out += static_cast<char>(0x80 | (cp & 0x3F));
    else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  // A string, checking that its raw bytes are well-formed UTF-8 without control characters.
  bool String(std::string& out) {
    ++at_;  // the opening quote
    while (at_ < s_.size()) {
      const auto c = static_cast<unsigned char>(s_[at_]);
      if (c == '"') return ++at_, true;
      if (c < 0x20) return false;
      if (c == '\\') {
        if (++at_ >= s_.size()) return false;
        const char e = s_[at_++];
        switch (e) {
          case '"': out += '"'; break;
          case '\\': out += '\\'; break;
          case '/': out += '/'; break;
          case 'b': out += '\b'; break;
          case 'f': out += '\f'; break;
          case 'n': out += '\n'; break;
          case 'r': out += '\r'; break;
          case 't': out += '\t'; break;
          case 'u': {
            uint32_t cp = 0;
            if (!Hex4(cp)) return false;
            if (cp >= 0xD800 && cp <= 0xDBFF) {
              uint32_t low = 0;
              if (!Literal("\\u") || !Hex4(low) || low < 0xDC00 || low > 0xDFFF) return false;
              cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
            } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
              return false;
            }
            PutUtf8(cp, out);
            break;
          }
          default: return false;
        }
        continue;
      }
      if (c < 0x80) {
        out += static_cast<char>(c);
        ++at_;
        continue;
      }
      const int length = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
      if (length == 0 || at_ + static_cast<size_t>(length) > s_.size()) return false;
      uint32_t cp = c & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
      for (int i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(s_[at_ + static_cast<size_t>(i)]);
        if ((next & 0xC0) != 0x80) return false;
        cp = (cp << 6) | (next & 0x3F);
      }
      if ((length == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF))) {
        return false;
      }
      out.append(s_.substr(at_, static_cast<size_t>(length)));
      at_ += static_cast<size_t>(length);
    }
    return false;
  }
  bool Array(JsonValue& v, int depth) {
    v.kind = JsonValue::Kind::kArray;
    ++at_;
    Blanks();
    if (at_ < s_.size() && s_[at_] == ']') return ++at_, true;
    for (;;) {
      v.items.emplace_back();
      if (!Value(v.items.back(), depth + 1)) return false;
      Blanks();
      if (at_ >= s_.size()) return false;
      if (s_[at_] == ']') return ++at_, true;
      if (s_[at_++] != ',') return false;
    }
  }
  bool Object(JsonValue& v, int depth) {
    v.kind = JsonValue::Kind::kObject;
    ++at_;
    Blanks();
    if (at_ < s_.size() && s_[at_] == '}') return ++at_, true;
    for (;;) {
      Blanks();
      if (at_ >= s_.size() || s_[at_] != '"') return false;
      std::string key;
      if (!String(key)) return false;
      Blanks();
      if (at_ >= s_.size() || s_[at_++] != ':') return false;
      JsonValue value;
      if (!Value(value, depth + 1)) return false;
      v.names.push_back(std::move(key));
      v.items.push_back(std::move(value));
      Blanks();
      if (at_ >= s_.size()) return false;
      if (s_[at_] == '}') return ++at_, true;
      if (s_[at_++] != ',') return false;
    }
  }

  std::string_view s_;
  size_t at_ = 0;
};

}  // namespace dkscr::test
