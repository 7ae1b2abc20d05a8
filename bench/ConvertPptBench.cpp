// ConvertPpt throughput on the .ppt files of the shared corpus: from files on disk (as the
// programs call it) and from images in memory (the reader alone, without file access).
// Bytes are the input files' sizes; items are files.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "convert/Convert.h"
#include "platform/NativePath.h"
#include "tests/support/Conversions.h"

namespace {

namespace fs = std::filesystem;

struct Sample {
  std::u16string path;
  std::string bytes;
};

const std::vector<Sample>& Corpus() {
  static const std::vector<Sample> samples = [] {
    std::vector<Sample> out;
    const fs::path dir = DKSCR_CORPUS_DIR;
    if (!fs::is_directory(dir)) return out;
    for (const fs::directory_entry& e : fs::directory_iterator(dir)) {
      if (e.path().extension() != ".ppt") continue;
      std::ifstream in(e.path(), std::ios::binary);
      std::string bytes(static_cast<size_t>(fs::file_size(e.path())), '\0');
      in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
      out.push_back({dkscr::PathFromNative(e.path().string()), std::move(bytes)});
    }
    return out;
  }();
  return samples;
}

int64_t CorpusBytes() {
  int64_t total = 0;
  for (const Sample& s : Corpus()) total += static_cast<int64_t>(s.bytes.size());
  return total;
}

void BM_ConvertPptFiles(benchmark::State& state) {
  if (Corpus().empty()) {
    state.SkipWithError("no corpus");
    return;
  }
  dkscr::OutputBuffer out;
  for (auto _ : state) {
    for (const Sample& s : Corpus()) benchmark::DoNotOptimize(dkscr::ConvertPpt(s.path, out, 65001));
  }
  state.SetBytesProcessed(state.iterations() * CorpusBytes());
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(Corpus().size()));
}
BENCHMARK(BM_ConvertPptFiles)->Unit(benchmark::kMillisecond);

void BM_ConvertPptImages(benchmark::State& state) {
  if (Corpus().empty()) {
    state.SkipWithError("no corpus");
    return;
  }
  dkscr::OutputBuffer out;
  for (auto _ : state) {
    for (const Sample& s : Corpus()) benchmark::DoNotOptimize(dkscr::test::ConvertPptBytes(s.bytes, out, 65001));
  }
  state.SetBytesProcessed(state.iterations() * CorpusBytes());
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(Corpus().size()));
}
BENCHMARK(BM_ConvertPptImages)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
