#include "openxml/KelXMLSyntax.h"

#include <cstring>

namespace dkscr {
namespace {

struct Escape {
  std::string_view from;
  std::string_view to;
};

constexpr Escape kEscapes[] = {
    {"<br/>", "\r\n"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"},
};

// Replaces every non-overlapping occurrence, left to right, in one pass over the original;
// `to` is shorter than `from`, so the result is written over the text itself.
void ReplaceAllShrinking(std::string& text, std::string_view from, std::string_view to) {
  const char lead = from.front();
  const size_t size = text.size();
  char* const data = text.data();
  const char* hit = static_cast<const char*>(std::memchr(data, lead, size));
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
  if (token.empty()) return {};
  std::string_view rest = token.substr(1);
  size_t cut = rest.find(' ');
  if (cut == std::string_view::npos) cut = rest.find('/');
  if (cut == std::string_view::npos) cut = rest.empty() ? 0 : rest.size() - 1;
  return std::string(rest.substr(0, cut));
}

TXMLParams ParseParams(std::string_view token) {
  const size_t space = token.find(' ');
  if (space == std::string_view::npos) return {};
  std::string_view body = token.substr(space + 1);
  const size_t close = body.find('>');
  if (close != std::string_view::npos) {
    body = body.substr(0, close > 0 && body[close - 1] == '/' ? close - 1 : close);
  }

  // Line breaks already in the tag split lines as well as the spaces outside quotes do.
  // Those spaces are marked with a zero byte, which no token can hold, so that each stays one
  // line break of its own.
  std::string marked(body);
  bool inQuotes = false;
  for (size_t i = 0; i + 1 < marked.size(); ++i) {
    if (marked[i] == '"') {
      inQuotes = !inQuotes;
    } else if (marked[i] == ' ' && !inQuotes) {
      marked[i] = '\0';
    }
  }

  std::vector<std::string> lines;
  size_t start = 0;
  size_t i = 0;
  while (i < marked.size()) {
    const char c = marked[i];
    if (c == '\0' || c == '\r' || c == '\n') {
      lines.emplace_back(marked, start, i - start);
      i += (c == '\r' && i + 1 < marked.size() && marked[i + 1] == '\n') ? 2 : 1;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < marked.size()) lines.emplace_back(marked, start, marked.size() - start);

  TXMLParams params(std::move(lines));
  const size_t count = params.Count();
  for (size_t index = 0; index < count; ++index) {
    const std::string& line = params[index];
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;  // nothing to unquote in a bare word
    const std::string name = line.substr(0, eq);
    std::string value(params.Value(name));
    if (value.size() > 2) {
      if (value.front() == '"') value.erase(0, 1);
      if (value.back() == '"') value.pop_back();
    }
    DecodeEscapesInPlace(value);
    params.SetValue(name, value);
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

bool HasEscape(std::string_view text) { return FindEscape(text) != std::string_view::npos; }

void DecodeEscapesInPlace(std::string& text) {
  if (text.find_first_of("&<") == std::string::npos) return;
  for (const Escape& e : kEscapes) ReplaceAllShrinking(text, e.from, e.to);
}

std::string DecodeEscapes(std::string_view text) {
  std::string result(text);
  DecodeEscapesInPlace(result);
  return result;
}

void DeleteLineBreakPairs(std::string& token) {
  if (token.find_first_of("\r\n") == std::string::npos) return;
  DeletePairs(token, '\r', '\n');
  DeletePairs(token, '\n', '\r');
}

}  // namespace dkscr
