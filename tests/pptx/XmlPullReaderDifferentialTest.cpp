// The pull reader against a plain reading of the same rules, one byte at a time, on real parts,
// fuzz seeds and their mutations: every event, name and attribute must agree.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "platform/ByteSource.h"
#include "xml/XmlPullReader.h"
#include "zip/ZipReader.h"

namespace dkscr {
namespace {

using Event = XmlPullReader::Event;

bool IsNameEnd(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '/' || c == '>';
}
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The reader's rules written out simply: markup ends at its first ">", a tag at its first ">"
// outside quotes; an unclosed comment, CDATA section or tag ends the events, and reading on
// goes on after that markup's first ">".
class PlainReader {
 public:
  explicit PlainReader(std::string_view data) : data_(data.substr(0, data.find('\0'))) {}

  Event Next() {
    if (pendingEnd_) {
      pendingEnd_ = false;
      attributes_ = {};
      return Event::kEndElement;
    }
    for (;;) {
      if (pos_ >= data_.size()) return Event::kEnd;
      const std::string_view rest = data_.substr(pos_);
      if (rest[0] != '<') {
        const size_t lt = rest.find('<');
        const std::string_view raw = rest.substr(0, lt);
        text_.clear();
        AppendXmlDecoded(raw, text_);
        pos_ += raw.size();
        return Event::kText;
      }
      const size_t gt = rest.find('>', 1);
      if (gt == std::string_view::npos) {
        pos_ = data_.size();
        return Event::kEnd;
      }
      const size_t start = pos_;
      pos_ += gt + 1;
      if (rest.starts_with("<!--")) {
        const size_t close = rest.find("-->", 4);
        if (close == std::string_view::npos) return Event::kEnd;
        pos_ = start + close + 3;
        continue;
      }
      if (rest.starts_with("<![CDATA[")) {
        const size_t close = rest.find("]]>", 9);
        if (close == std::string_view::npos) return Event::kEnd;
        text_.assign(rest.substr(9, close - 9));
        pos_ = start + close + 3;
        return Event::kText;
      }
      if (rest[1] == '!' || rest[1] == '?') continue;
      size_t close = 1;
      char quote = 0;
      for (; close < rest.size(); ++close) {
        if (quote != 0) {
          if (rest[close] == quote) quote = 0;
        } else if (rest[close] == '>') {
          break;
        } else if (rest[close] == '"' || rest[close] == '\'') {
          quote = rest[close];
        }
      }
      if (close == rest.size()) return Event::kEnd;
      pos_ = start + close + 1;
      const bool isEnd = rest[1] == '/';
      const size_t nameStart = isEnd ? 2 : 1;
      size_t nameEnd = nameStart;
      while (nameEnd < close && !IsNameEnd(rest[nameEnd])) ++nameEnd;
      name_ = rest.substr(nameStart, nameEnd - nameStart);
      if (isEnd) {
        attributes_ = {};
        return Event::kEndElement;
      }
      const bool empty = rest[close - 1] == '/' && close - 1 >= nameEnd;
      attributes_ = rest.substr(nameEnd, (empty ? close - 1 : close) - nameEnd);
      pendingEnd_ = empty;
      return Event::kStartElement;
    }
  }

  std::string_view Name() const { return name_; }
  const std::string& Text() const { return text_; }

  // Reads the attribute list from its start for every question, as a tag would be read by hand.
  // Sets `found` and gives the decoded value of the first attribute `match` accepts.
  template <typename Match>
  std::string Find(Match match, bool& found) const {
    const std::string_view list = attributes_;
    size_t at = 0;
    found = false;
    while (at < list.size()) {
      while (at < list.size() && IsSpace(list[at])) ++at;
      const size_t nameStart = at;
      while (at < list.size() && list[at] != '=' && !IsSpace(list[at])) ++at;
      const std::string_view name = list.substr(nameStart, at - nameStart);
      while (at < list.size() && IsSpace(list[at])) ++at;
      if (at >= list.size() || list[at] != '=') {
        if (at == nameStart) ++at;
        continue;
      }
      ++at;
      while (at < list.size() && IsSpace(list[at])) ++at;
      if (at >= list.size() || (list[at] != '"' && list[at] != '\'')) continue;
      const size_t valueEnd = list.find(list[at], at + 1);
      if (valueEnd == std::string_view::npos) return {};
      if (match(name)) {
        found = true;
        std::string value;
        AppendXmlDecoded(list.substr(at + 1, valueEnd - at - 1), value);
        return value;
      }
      at = valueEnd + 1;
    }
    return {};
  }

 private:
  std::string_view data_;
  size_t pos_ = 0;
  std::string_view name_;
  std::string_view attributes_;
  std::string text_;
  bool pendingEnd_ = false;
};

// What one reader reports, as one line per event: names, text, and the answers to questions
// about attributes that real parts and the mutations below hold.
template <typename Reader, typename Ask>
std::vector<std::string> Trace(Reader& reader, Ask ask) {
  static const char* const kAsked[] = {"id", "r:id", "a", "b", "val", "type", "name", "x:y", ""};
  std::vector<std::string> lines;
  // Reading on after the end must give the same as well.
  for (int ends = 0; ends < 3;) {
    const Event event = reader.Next();
    if (event == Event::kEnd) {
      lines.push_back("END");
      ++ends;
      continue;
    }
    if (event == Event::kText) {
      lines.push_back("T" + reader.Text());
      continue;
    }
    std::string line = (event == Event::kStartElement ? "S" : "E") + std::string(reader.Name());
    if (event == Event::kStartElement) {
      for (const char* asked : kAsked) line += "|" + ask(reader, asked);
    }
    lines.push_back(line);
  }
  return lines;
}

void ExpectSameEvents(std::string_view xml, const std::string& what) {
  XmlPullReader reader(xml);
  PlainReader plain(xml);
  const auto fast = Trace(reader, [](const XmlPullReader& r, std::string_view name) {
    return r.Attribute(name) + (r.HasAttribute(name) ? "+" : "-") + r.PrefixedAttribute(name);
  });
  const auto slow = Trace(plain, [](const PlainReader& r, std::string_view name) {
    bool found = false;
    std::string value = r.Find([&](std::string_view n) { return n == name; }, found);
    bool prefixed = false;
    const std::string local = r.Find(
        [&](std::string_view n) {
          const size_t colon = n.find(':');
          return colon != std::string_view::npos && n.substr(colon + 1) == name;
        },
        prefixed);
    return value + (found ? "+" : "-") + local;
  });
  ASSERT_EQ(fast, slow) << what;
}

// Byte changes that move tag ends, quotes and markup boundaries around.
std::string Mutate(std::string xml, uint32_t& state) {
  static const char* const kPieces[] = {"\"", "'", ">", "<", "/", "=", " ", "<!--", "-->",
                                        "<![CDATA[", "]]>", "<?", "&amp;", "&#x41;", ":", "\n"};
  const auto next = [&state] {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  };
  const int changes = 1 + static_cast<int>(next() % 4);
  for (int i = 0; i < changes && !xml.empty(); ++i) {
    const size_t at = next() % xml.size();
    const std::string piece = kPieces[next() % std::size(kPieces)];
    if (next() % 2 == 0) {
      xml.insert(at, piece);
    } else {
      xml.replace(at, std::min(piece.size(), xml.size() - at), piece);
    }
  }
  return xml;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The XML of a file: each part of a package, or the file itself.
std::vector<std::string> Documents(const std::filesystem::path& path) {
  const std::string bytes = ReadFile(path);
  if (!bytes.starts_with("PK")) return {bytes};
  std::vector<std::string> parts;
  try {
    const std::unique_ptr<ByteSource> source = ByteSource::OfMemory(bytes);
    ZipReader zip(*source);
    zip.LoadDirectory();
    for (int i = 0; i < zip.EntryCount(); ++i) {
      std::string part;
      if (zip.ExtractEntryToStream(static_cast<size_t>(i), part) && part.find('<') != std::string::npos) {
        parts.push_back(std::move(part));
      }
    }
  } catch (...) {
    // A damaged seed package gives what it gave.
  }
  return parts;
}

void CompareFolder(const std::filesystem::path& folder, int mutations, size_t& documents) {
  if (!std::filesystem::is_directory(folder)) return;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    for (const std::string& xml : Documents(entry.path())) {
      ++documents;
      const std::string name = entry.path().filename().string();
      ExpectSameEvents(xml, name);
      uint32_t state = static_cast<uint32_t>(xml.size());
      // Large parts (deeply nested bombs) get a few: each mutation reads the whole part.
      const int count = xml.size() > 16384 ? std::min(mutations, 3) : mutations;
      for (int i = 0; i < count; ++i) ExpectSameEvents(Mutate(xml, state), name + " mutated");
    }
  }
}

TEST(XmlPullReaderDifferential, SeedsAndTheirMutationsReadAsThePlainRulesSay) {
  const std::filesystem::path seeds = std::filesystem::path(DKSCR_TEST_SOURCE_DIR) / "../../fuzz/seeds";
  size_t documents = 0;
  for (const char* folder : {"fuzz_xml_loader", "fuzz_slide_model", "fuzz_pptx_convert"}) {
    CompareFolder(seeds / folder, 100, documents);
  }
  EXPECT_GT(documents, 10u);
}

TEST(XmlPullReaderDifferential, CorpusPartsReadAsThePlainRulesSay) {
  const std::filesystem::path corpus(DKSCR_CORPUS_DIR);
  if (!std::filesystem::is_directory(corpus)) GTEST_SKIP() << "no corpus";
  size_t documents = 0;
  CompareFolder(corpus, 2, documents);
  EXPECT_GT(documents, 0u);
}

TEST(XmlPullReaderDifferential, GeneratedMarkupReadsAsThePlainRulesSay) {
  // Short strings over the bytes that matter, at every alignment to the reader's scans.
  static const char kAlphabet[] = "<>\"'/=! ?-[]a:b\n&;#x\0";
  uint32_t state = 7;
  for (int i = 0; i < 20000; ++i) {
    std::string xml;
    const size_t size = 1 + (state >> 3) % 48;
    for (size_t j = 0; j < size; ++j) {
      state = state * 1664525u + 1013904223u;
      xml.push_back(kAlphabet[(state >> 10) % (sizeof kAlphabet - 1)]);
    }
    ExpectSameEvents(xml, "generated " + std::to_string(i));
  }
}

}  // namespace
}  // namespace dkscr
