#include "batch/JsonText.h"

#include <climits>
#include <stdexcept>

#include "model/JsonWriter.h"
#include "model/SlideFormats.h"

namespace dkscr {
namespace {

// Records take the converters' UTF-8, whose surrogate pairs may come as two sequences.
bool AppendRecordString(std::string& out, std::string_view bytes, bool crLfAsLf = false) {
  return AppendJsonString(out, bytes, {crLfAsLf, Utf8Repair::kJoinSurrogatePairs});
}

// The record up to its last field: path, path_bytes when needed, code and message.
std::string RecordHead(std::string_view path, ResultCode code, std::string_view message) {
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
  return line;
}

}  // namespace

std::string JsonRecord(std::string_view path, ResultCode code, std::string_view message,
                       std::string_view text) {
  std::string line = RecordHead(path, code, message);
  if (code >= 0) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    line += ",\"text\":";
    AppendRecordString(line, text, true);
  }
  line += "}\n";
  return line;
}

std::string JsonSlidesRecord(std::string_view path, std::string_view message,
                             const SlideDeck& deck) {
  std::string slides;
  AppendSlidesJsonArray(deck, slides);
  std::string orphans;
  AppendOrphansJsonArray(deck, orphans);
  // dkscrcmd -mjson writes {"slides":ARRAY,"orphans":ARRAY} and a line feed around the same
  // arrays.
  constexpr std::string_view kWrapping = "{\"slides\":,\"orphans\":}\n";
  const size_t total = slides.size() + orphans.size() + kWrapping.size();
  // A length past what a result code holds fails the file (-5), as a text that long does.
  if (total > static_cast<size_t>(INT32_MAX)) throw std::length_error("slides past 2 GiB");
  const auto length = static_cast<ResultCode>(total);
  std::string line = RecordHead(path, length, message);
  line += ",\"slides\":";
  line += slides;
  line += ",\"orphans\":";
  line += orphans;
  line += "}\n";
  return line;
}

}  // namespace dkscr
