// Our Inflate and CRC-32 against zlib's, and our Inflate against libdeflate's whole-buffer
// decoder, on the same data: the slide parts of the sample packages and a large generated
// text. The ratios at the end compare each pair.
#include <benchmark/benchmark.h>
#include <zlib.h>
#if DKSCR_HAVE_LIBDEFLATE
#include <libdeflate.h>
#endif

#include <cstring>
#include <filesystem>
#include <memory>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/BenchRatios.h"
#include "platform/ByteSource.h"
#include "zip/Crc32.h"
#include "zip/Inflate.h"
#include "zip/ZipReader.h"

namespace {

struct Part {
  std::string packed;  // raw Deflate data
  size_t size = 0;     // uncompressed size
};

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream f(path, std::ios::binary);
  std::string bytes(static_cast<size_t>(std::filesystem::file_size(path)), '\0');
  f.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

uint16_t Le16(const std::string& s, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8);
}

// Deflated slide parts of every sample package, located through our directory reader.
std::vector<Part> LoadSlideParts() {
  std::vector<Part> parts;
  std::error_code ec;
  for (const auto& item : std::filesystem::directory_iterator(DKSCR_CORPUS_DIR, ec)) {
    if (item.path().extension() != ".pptx") continue;
    int error = 0;
    const std::unique_ptr<dkscr::ByteSource> source = dkscr::ByteSource::OpenFile(item.path().string(), error);
    if (!source) continue;
    dkscr::ZipReader zip(*source);
    try {
      zip.LoadDirectory();
    } catch (const dkscr::ZipError&) {
      continue;
    }
    if (zip.Entries() == nullptr) continue;
    const std::string bytes = ReadFile(item.path());
    for (size_t i = 0; i < zip.Entries()->Count(); ++i) {
      const dkscr::ZipEntry& e = (*zip.Entries())[i];
      if (e.directory != "ppt\\slides\\" || e.fileName.rfind("slide", 0) != 0 ||
          e.compressionMethod != dkscr::kZipMethodDeflated) {
        continue;
      }
      const size_t header = e.localHeaderOffset;
      if (header + 30 > bytes.size()) continue;
      const size_t start = header + 30 + Le16(bytes, header + 26) + Le16(bytes, header + 28);
      if (start + e.compressedSize > bytes.size()) continue;
      parts.push_back({bytes.substr(start, e.compressedSize), e.uncompressedSize});
    }
  }
  return parts;
}

std::string RawDeflate(const std::string& data) {
  z_stream zs{};
  deflateInit2(&zs, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&zs, data.size()), '\0');
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  zs.avail_in = static_cast<uInt>(data.size());
  zs.next_out = reinterpret_cast<Bytef*>(out.data());
  zs.avail_out = static_cast<uInt>(out.size());
  if (deflate(&zs, Z_FINISH) != Z_STREAM_END) throw std::runtime_error("deflate");
  out.resize(zs.total_out);
  deflateEnd(&zs);
  return out;
}

// About 32 MB of slide-like text: markup, words and numbers in a skewed mix.
std::vector<Part> MakeLargeText() {
  std::mt19937 rng(1234);
  const std::vector<std::string> words = {
      "<a:p>", "</a:p>", "<a:r>", "</a:r>", "<a:t>", "</a:t>", "<a:rPr lang=\"en-US\" dirty=\"0\"/>",
      "the", "presentation", "quarterly", "results", "of", "and", "growth", "market", "slide",
      "revenue", "customer", "design", "a", "in", "to", "for", "with", "\r\n"};
  std::string text;
  text.reserve(32u << 20);
  while (text.size() < (32u << 20)) {
    const uint32_t r = rng();
    if (r % 17 == 0) {
      text += std::to_string(r % 100000);
    } else {
      text += words[(r >> 8) % words.size()];
    }
    text += ' ';
  }
  return {{RawDeflate(text), text.size()}};
}

const std::vector<Part>& SlideParts() {
  static const std::vector<Part> parts = LoadSlideParts();
  return parts;
}

const std::vector<Part>& LargeText() {
  static const std::vector<Part> parts = MakeLargeText();
  return parts;
}

void RunOurs(benchmark::State& state, const std::vector<Part>& parts) {
  if (parts.empty()) {
    state.SkipWithError("no data (corpus missing?)");
    return;
  }
  std::string out;
  size_t bytes = 0;
  for (auto _ : state) {
    for (const Part& p : parts) {
      out.clear();
      const auto status =
          dkscr::InflateBuffer(reinterpret_cast<const uint8_t*>(p.packed.data()), p.packed.size(),
                               out, p.size, p.size);
      if (status != dkscr::InflateStatus::kDone || out.size() != p.size) {
        state.SkipWithError("our inflate failed");
        return;
      }
      benchmark::DoNotOptimize(out.data());
      bytes += p.size;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}

// zlib at its best: one stream reset between parts, output into a buffer of the known size.
void RunZlib(benchmark::State& state, const std::vector<Part>& parts) {
  if (parts.empty()) {
    state.SkipWithError("no data (corpus missing?)");
    return;
  }
  z_stream zs{};
  inflateInit2(&zs, -15);
  std::string out;
  size_t bytes = 0;
  for (auto _ : state) {
    for (const Part& p : parts) {
      out.clear();
      out.resize(p.size);
      inflateReset(&zs);
      zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(p.packed.data()));
      zs.avail_in = static_cast<uInt>(p.packed.size());
      zs.next_out = reinterpret_cast<Bytef*>(out.data());
      zs.avail_out = static_cast<uInt>(out.size());
      if (inflate(&zs, Z_FINISH) != Z_STREAM_END) {
        state.SkipWithError("zlib inflate failed");
        break;
      }
      benchmark::DoNotOptimize(out.data());
      bytes += p.size;
    }
  }
  inflateEnd(&zs);
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}

#if DKSCR_HAVE_LIBDEFLATE
// libdeflate decodes whole buffers only, into an output of known size.
void RunLibdeflate(benchmark::State& state, const std::vector<Part>& parts) {
  if (parts.empty()) {
    state.SkipWithError("no data (corpus missing?)");
    return;
  }
  libdeflate_decompressor* decompressor = libdeflate_alloc_decompressor();
  std::string out;
  size_t bytes = 0;
  for (auto _ : state) {
    for (const Part& p : parts) {
      out.clear();
      out.resize(p.size);
      size_t got = 0;
      if (libdeflate_deflate_decompress(decompressor, p.packed.data(), p.packed.size(),
                                        out.data(), out.size(), &got) != LIBDEFLATE_SUCCESS ||
          got != p.size) {
        state.SkipWithError("libdeflate failed");
        break;
      }
      benchmark::DoNotOptimize(out.data());
      bytes += p.size;
    }
  }
  libdeflate_free_decompressor(decompressor);
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}

void BM_Inflate_Libdeflate_Slides(benchmark::State& state) { RunLibdeflate(state, SlideParts()); }
void BM_Inflate_Libdeflate_LargeText(benchmark::State& state) {
  RunLibdeflate(state, LargeText());
}
BENCHMARK(BM_Inflate_Libdeflate_Slides);
BENCHMARK(BM_Inflate_Libdeflate_LargeText);
#endif

void BM_Inflate_Ours_Slides(benchmark::State& state) { RunOurs(state, SlideParts()); }
void BM_Inflate_Zlib_Slides(benchmark::State& state) { RunZlib(state, SlideParts()); }
void BM_Inflate_Ours_LargeText(benchmark::State& state) { RunOurs(state, LargeText()); }
void BM_Inflate_Zlib_LargeText(benchmark::State& state) { RunZlib(state, LargeText()); }

const std::string& CrcData() {
  static const std::string data = [] {
    std::string s(8u << 20, '\0');
    std::mt19937 rng(9);
    for (char& c : s) c = static_cast<char>(rng());
    return s;
  }();
  return data;
}

void BM_Crc32_Ours(benchmark::State& state) {
  const std::string& d = CrcData();
  for (auto _ : state) {
    benchmark::DoNotOptimize(dkscr::Crc32(reinterpret_cast<const uint8_t*>(d.data()), d.size()));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * d.size()));
}

void BM_Crc32_Zlib(benchmark::State& state) {
  const std::string& d = CrcData();
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        crc32(0, reinterpret_cast<const Bytef*>(d.data()), static_cast<uInt>(d.size())));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * d.size()));
}

}  // namespace

BENCHMARK(BM_Inflate_Ours_Slides);
BENCHMARK(BM_Inflate_Zlib_Slides);
BENCHMARK(BM_Inflate_Ours_LargeText);
BENCHMARK(BM_Inflate_Zlib_LargeText);
BENCHMARK(BM_Crc32_Ours);
BENCHMARK(BM_Crc32_Zlib);

int main(int argc, char** argv) {
  return dkscr::bench::RunWithRatios(
      argc, argv,
      {{"BM_Inflate_Ours_Slides", "BM_Inflate_Zlib_Slides"},
       {"BM_Inflate_Ours_LargeText", "BM_Inflate_Zlib_LargeText"},
       {"BM_Inflate_Ours_Slides", "BM_Inflate_Libdeflate_Slides"},
       {"BM_Inflate_Ours_LargeText", "BM_Inflate_Libdeflate_LargeText"},
       {"BM_Crc32_Ours", "BM_Crc32_Zlib"}});
}
