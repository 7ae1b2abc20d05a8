// The ZIP directory of a large package: reading it, looking every part up by name, and the
// bytes it keeps per entry (index and names included), for packages listing the parts of
// 2,000 to 100,000 slides (three parts a slide: the slide, its relationships, its notes).
//
//   build/bench/bench_zip_directory [--benchmark_filter=...]
//
// Counters: entries, bytes_per_entry (the directory's own count of what it holds, after the
// look-ups built its index). The target is at most 64 bytes an entry.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/ByteSource.h"
#include "tests/support/ZipWriter.h"
#include "zip/ZipReader.h"

namespace {

struct Package {
  std::vector<std::string> names;
  std::string bytes;
};

// One package per slide count, written once: stored empty parts, as many as a deck has.
const Package& DeckPackage(int slides) {
  static std::map<int, Package> packages;
  Package& package = packages[slides];
  if (!package.bytes.empty()) return package;
  dkscr::test::ZipWriter writer;
  for (int n = 1; n <= slides; ++n) {
    const std::string number = std::to_string(n);
    for (std::string name : {"ppt/slides/slide" + number + ".xml",
                             "ppt/slides/_rels/slide" + number + ".xml.rels",
                             "ppt/notesSlides/notesSlide" + number + ".xml"}) {
      writer.Add(name, "", 0);
      package.names.push_back(std::move(name));
    }
  }
  package.bytes = writer.Build();
  return package;
}

void BM_ReadDirectory(benchmark::State& state) {
  const Package& package = DeckPackage(static_cast<int>(state.range(0)));
  const std::unique_ptr<dkscr::ByteSource> source = dkscr::ByteSource::OfMemory(package.bytes);
  size_t bytes = 0;
  for (auto _ : state) {
    dkscr::ZipReader zip(*source);
    zip.LoadDirectory();
    bytes = zip.Entries()->StorageBytes();
    benchmark::DoNotOptimize(zip.EntryCount());
  }
  state.counters["entries"] = static_cast<double>(package.names.size());
  state.counters["bytes_per_entry_unindexed"] = static_cast<double>(bytes) / package.names.size();
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(package.names.size()));
}
BENCHMARK(BM_ReadDirectory)->Arg(2000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Reading the directory and then finding every part by its name, as the slide forms do.
void BM_ReadAndFindEveryPart(benchmark::State& state) {
  const Package& package = DeckPackage(static_cast<int>(state.range(0)));
  const std::unique_ptr<dkscr::ByteSource> source = dkscr::ByteSource::OfMemory(package.bytes);
  size_t bytes = 0;
  for (auto _ : state) {
    dkscr::ZipReader zip(*source);
    zip.LoadDirectory();
    int found = 0;
    for (const std::string& name : package.names) found += zip.HasEntry(name);
    if (found != static_cast<int>(package.names.size())) state.SkipWithError("a part was not found");
    bytes = zip.Entries()->StorageBytes();
  }
  state.counters["entries"] = static_cast<double>(package.names.size());
  state.counters["bytes_per_entry"] = static_cast<double>(bytes) / package.names.size();
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(package.names.size()));
}
BENCHMARK(BM_ReadAndFindEveryPart)->Arg(2000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
