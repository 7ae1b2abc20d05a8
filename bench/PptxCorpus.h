#pragma once
// The benchmarks' inputs: the presentation packages of the sample corpus and their slide
// parts, read here with zlib so that the figures do not depend on our archive reader.
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace dkscr::bench {

inline std::string CorpusDir() { return DKSCR_CORPUS_DIR; }

inline bool IsPresentationPackage(const std::filesystem::path& path) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext == ".pptx" || ext == ".pptm" || ext == ".ppsx";
}

inline std::vector<std::filesystem::path> CorpusPackages() {
  std::vector<std::filesystem::path> paths;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(CorpusDir(), error)) {
    if (entry.is_regular_file() && IsPresentationPackage(entry.path())) paths.push_back(entry.path());
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

inline std::string ReadWholeFile(const std::filesystem::path& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  if (error) return {};
  std::string bytes(static_cast<size_t>(size), '\0');
  std::ifstream file(path, std::ios::binary);
  file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(file.gcount()));
  return bytes;
}

inline uint32_t Le16(const std::string& b, size_t at) {
  return static_cast<uint8_t>(b[at]) | static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8;
}
inline uint32_t Le32(const std::string& b, size_t at) { return Le16(b, at) | Le16(b, at + 2) << 16; }

// Every stored or deflated slide part of one package, through its central directory.
inline std::vector<std::string> SlideParts(const std::string& zip) {
  std::vector<std::string> parts;
  if (zip.size() < 22) return parts;
  size_t end = zip.size() - 22;
  while (end > 0 && Le32(zip, end) != 0x06054b50) --end;
  if (Le32(zip, end) != 0x06054b50) return parts;
  const uint32_t count = Le16(zip, end + 10);
  size_t at = Le32(zip, end + 16);
  const std::regex slideName(R"(ppt/slides/slide[0-9]+\.xml)", std::regex::icase);
  for (uint32_t i = 0; i < count && at + 46 <= zip.size() && Le32(zip, at) == 0x02014b50; ++i) {
    const uint32_t method = Le16(zip, at + 10);
    const uint32_t csize = Le32(zip, at + 20);
    const uint32_t usize = Le32(zip, at + 24);
    const uint32_t nameLength = Le16(zip, at + 28);
    const size_t next = at + 46 + nameLength + Le16(zip, at + 30) + Le16(zip, at + 32);
    const std::string name = zip.substr(at + 46, nameLength);
    const size_t local = Le32(zip, at + 42);
    at = next;
    if (!std::regex_match(name, slideName) || local + 30 > zip.size()) continue;
    const size_t data = local + 30 + Le16(zip, local + 26) + Le16(zip, local + 28);
    if (data + csize > zip.size()) continue;
    if (method == 0) {
      parts.push_back(zip.substr(data, csize));
    } else if (method == 8) {
      std::string out(usize, '\0');
      z_stream zs{};
      if (inflateInit2(&zs, -15) != Z_OK) continue;
      zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zip.data() + data));
      zs.avail_in = csize;
      zs.next_out = reinterpret_cast<Bytef*>(out.data());
      zs.avail_out = usize;
      const int rc = inflate(&zs, Z_FINISH);
      inflateEnd(&zs);
      if (rc == Z_STREAM_END) parts.push_back(std::move(out));
    }
  }
  return parts;
}

}  // namespace dkscr::bench
