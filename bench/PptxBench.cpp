// XML loading against pugixml on the corpus's slide parts, and whole .pptx conversions.
#include <benchmark/benchmark.h>

#if DKSCR_HAVE_PUGIXML
#include <pugixml.hpp>
#endif

#include <cstdint>
#include <string>
#include <vector>

#include "PptxCorpus.h"
#include "bench/BenchRatios.h"
#include "convert/Convert.h"
#include "platform/NativePath.h"
#include "xml/XmlTree.h"

namespace {

const std::vector<std::string>& CorpusSlideParts() {
  static const std::vector<std::string> parts = [] {
    std::vector<std::string> all;
    for (const auto& path : dkscr::bench::CorpusPackages()) {
      for (std::string& part : dkscr::bench::SlideParts(dkscr::bench::ReadWholeFile(path))) {
        all.push_back(std::move(part));
      }
    }
    return all;
  }();
  return parts;
}

int64_t TotalBytes(const std::vector<std::string>& parts) {
  int64_t total = 0;
  for (const std::string& part : parts) total += static_cast<int64_t>(part.size());
  return total;
}

void BM_XmlTreeLoad(benchmark::State& state) {
  const auto& parts = CorpusSlideParts();
  if (parts.empty()) {
    state.SkipWithError("no slide parts in the corpus");
    return;
  }
  dkscr::XmlTree doc;
  for (auto _ : state) {
    for (const std::string& part : parts) {
      doc.LoadFromStream(part);
      benchmark::DoNotOptimize(doc.Root().ChildCount());
    }
  }
  state.SetBytesProcessed(state.iterations() * TotalBytes(parts));
}
BENCHMARK(BM_XmlTreeLoad);

// Loading and then asking every element for its attribute lines, which a load alone leaves
// unparsed until first use.
void BM_XmlTreeLoadWithAttributes(benchmark::State& state) {
  const auto& parts = CorpusSlideParts();
  if (parts.empty()) {
    state.SkipWithError("no slide parts in the corpus");
    return;
  }
  dkscr::XmlTree doc;
  for (auto _ : state) {
    for (const std::string& part : parts) {
      doc.LoadFromStream(part);
      const dkscr::XmlElement* root = &doc.Root();
      const dkscr::XmlElement* item = root;
      size_t lines = 0;
      for (;;) {
        lines += item->Attributes().Count();
        if (item->FirstChild() != nullptr) {
          item = item->FirstChild();
          continue;
        }
        while (item != root && item->NextSibling() == nullptr) item = item->Parent();
        if (item == root) break;
        item = item->NextSibling();
      }
      benchmark::DoNotOptimize(lines);
    }
  }
  state.SetBytesProcessed(state.iterations() * TotalBytes(parts));
}
BENCHMARK(BM_XmlTreeLoadWithAttributes);

#if DKSCR_HAVE_PUGIXML
void BM_PugiXmlLoad(benchmark::State& state) {
  const auto& parts = CorpusSlideParts();
  if (parts.empty()) {
    state.SkipWithError("no slide parts in the corpus");
    return;
  }
  for (auto _ : state) {
    for (const std::string& part : parts) {
      pugi::xml_document doc;
      const pugi::xml_parse_result result = doc.load_buffer(part.data(), part.size());
      benchmark::DoNotOptimize(result.status);
    }
  }
  state.SetBytesProcessed(state.iterations() * TotalBytes(parts));
}
BENCHMARK(BM_PugiXmlLoad);
#endif

void BM_ConvertPptxCorpus(benchmark::State& state) {
  std::vector<std::u16string> sources;
  for (const auto& path : dkscr::bench::CorpusPackages()) {
    sources.push_back(dkscr::PathFromNative(path.string()));
  }
  if (sources.empty()) {
    state.SkipWithError("no presentation packages in the corpus");
    return;
  }
  dkscr::OutputBuffer output;
  for (auto _ : state) {
    for (const std::u16string& source : sources) {
      benchmark::DoNotOptimize(dkscr::ConvertPptx(source, output, 65001));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(sources.size()));
  state.counters["files/s"] = benchmark::Counter(
      static_cast<double>(state.iterations() * static_cast<int64_t>(sources.size())),
      benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ConvertPptxCorpus)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return dkscr::bench::RunWithRatios(argc, argv, {{"BM_XmlTreeLoad", "BM_PugiXmlLoad"}});
}
