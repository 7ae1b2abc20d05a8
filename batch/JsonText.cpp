#include "batch/JsonText.h"

#include <climits>
#include <stdexcept>

#include "model/JsonWriter.h"

namespace dkscr {
namespace {

// Records take the converters' UTF-8, whose surrogate pairs may come as two sequences.
bool AppendRecordString(std::string& out, std::string_view bytes, bool crLfAsLf = false) {
  return AppendJsonString(out, bytes, {crLfAsLf, Utf8Repair::kJoinSurrogatePairs});
}

// The record up to its last field: path, path_bytes when needed, code and message.
std::string RecordHead(std::string_view path, ResultCode code, std::string_view message,
                       const std::optional<std::string>* sha256) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string line = "{\"path\":";
  if (!AppendRecordString(line, path)) {
    line += ",\"path_bytes\":\"";
    for (const char c : path) {
      line += kHex[(static_cast<unsigned char>(c) >> 4) & 0xF];
      line += kHex[static_cast<unsigned char>(c) & 0xF];
    }
    line += '"';
  }
  line += ",\"code\":";
  line += std::to_string(code);
  line += ",\"message\":";
  AppendRecordString(line, message);
  if (sha256 != nullptr) {
    line += ",\"sha256\":";
    line += *sha256 ? "\"" + **sha256 + "\"" : std::string("null");
  }
  return line;
}

}  // namespace

std::string JsonRecord(std::string_view path, ResultCode code, std::string_view message,
                       std::string_view text, const std::optional<std::string>* sha256) {
  std::string line = RecordHead(path, code, message, sha256);
  if (code >= 0) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    line += ",\"text\":";
    AppendRecordString(line, text, true);
  }
  line += "}\n";
  return line;
}

std::string JsonSlidesRecord(std::string_view path, std::string_view message, std::string_view form,
                             const std::optional<std::string>* sha256) {
  // dkscrcmd -mjson writes the members between braces, and a line feed.
  if (form.size() < 3 || form.front() != '{' || !form.ends_with("}\n")) {
    throw std::invalid_argument("not the JSON form");
  }
  if (form.size() > static_cast<size_t>(INT32_MAX)) throw std::length_error("slides past 2 GiB");
  const std::string_view members = form.substr(1, form.size() - 3);
  std::string line = RecordHead(path, static_cast<ResultCode>(form.size()), message, sha256);
  line.reserve(line.size() + members.size() + 3);
  if (!members.empty()) line += ",";
  line += members;
  line += "}\n";
  return line;
}

}  // namespace dkscr
