// corpus_throughput [PASSES] [CORPUS_DIR] [FORM[,FORM...]]
// Whole-corpus throughput in one process: every .ppt and .pptx file of the folder converted
// into UTF-8 in a loop, from disk (the file opened by path) and from memory (the file's
// bytes), in FORM (text, the default, or full, md, json). Prints, per format and source, the
// median over PASSES of MB/s (input bytes) and files/s, timed in processor time of the
// process. Built against any version of the library with the one conversion entry, so that
// two builds can be compared side by side (bench/throughput_bench.sh).
// With several forms ("text,json") each pass times every form in turn, so that the forms
// share the machine's load, and each line names its form; after them, per format and source,
// every later form's files/s over the first's ("json/text 0.52": json at 52% of text's speed).
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "convert/Convert.h"

namespace {

namespace fs = std::filesystem;

struct Sample {
  std::string path;
  std::string bytes;
  bool pptx = false;
};

std::vector<Sample> LoadCorpus(const fs::path& dir) {
  std::vector<Sample> out;
  for (const fs::directory_entry& e : fs::directory_iterator(dir)) {
    const std::string ext = e.path().extension().string();
    if (!e.is_regular_file() || (ext != ".ppt" && ext != ".pptx")) continue;
    std::ifstream in(e.path(), std::ios::binary);
    std::string bytes(static_cast<size_t>(e.file_size()), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.push_back({e.path().string(), std::move(bytes), ext == ".pptx"});
  }
  return out;
}

// Seconds of this process's processor time: on a machine shared with other work, a far
// steadier measure than the wall clock.
double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// Processor seconds for `rounds` conversions of every sample of the format (0 ppt, 1 pptx, 2 both).
double OnePass(const std::vector<Sample>& corpus, int format, bool fromMemory, int rounds, dkscr::SlideMode mode,
               dkscr::OutputBuffer& out) {
  const double start = CpuSeconds();
  for (int r = 0; r < rounds; ++r) for (const Sample& s : corpus) {
    if (format != 2 && s.pptx != (format == 1)) continue;
    dkscr::ConvertRequest request;
    request.mode = mode;
    request.codePage = 65001;
    request.format = s.pptx ? dkscr::PresentationKind::kPptx : dkscr::PresentationKind::kPpt;
    request.name = s.path;
    if (fromMemory) {
      const std::unique_ptr<dkscr::ByteSource> source = dkscr::ByteSource::OfMemory(s.bytes);
      dkscr::Convert(*source, request, out);
    } else {
      dkscr::ConvertFile(s.path, request, out);
    }
  }
  return CpuSeconds() - start;
}

}  // namespace

int main(int argc, char** argv) {
  const int passes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  const fs::path dir = argc > 2 ? argv[2] : DKSCR_CORPUS_DIR;
  std::vector<std::string> names;
  std::vector<dkscr::SlideMode> modes;
  const std::string list = argc > 3 ? argv[3] : "text";
  for (size_t at = 0; at <= list.size();) {
    const size_t comma = std::min(list.find(',', at), list.size());
    const std::string name = list.substr(at, comma - at);
    const std::optional<dkscr::SlideMode> mode = dkscr::ParseSlideMode(name);
    if (!mode) {
      std::fprintf(stderr, "unknown form %s\n", name.c_str());
      return 1;
    }
    names.push_back(name);
    modes.push_back(*mode);
    at = comma + 1;
  }
  const bool several = modes.size() > 1;
  if (!fs::is_directory(dir)) {
    std::fprintf(stderr, "no corpus at %s\n", dir.c_str());
    return 1;
  }
  const std::vector<Sample> corpus = LoadCorpus(dir);
  dkscr::OutputBuffer out;
  const char* formats[] = {".ppt", ".pptx", "all"};
  std::vector<std::string> ratios;
  for (int format = 0; format < 3; ++format) {
    double bytes = 0, files = 0;
    for (const Sample& s : corpus) {
      if (format != 2 && s.pptx != (format == 1)) continue;
      bytes += static_cast<double>(s.bytes.size());
      files += 1;
    }
    for (const bool fromMemory : {false, true}) {
      // Passes of about a fifth of a second, so that a pass outlasts the machine's hiccups.
      std::vector<int> rounds;
      for (const dkscr::SlideMode mode : modes) {
        const double once = OnePass(corpus, format, fromMemory, 1, mode, out);
        rounds.push_back(std::max(1, static_cast<int>(0.2 / std::max(once, 1e-6))));
      }
      std::vector<std::vector<double>> times(modes.size());
      for (int p = 0; p < passes; ++p) {
        for (size_t m = 0; m < modes.size(); ++m) {
          times[m].push_back(OnePass(corpus, format, fromMemory, rounds[m], modes[m], out) / rounds[m]);
        }
      }
      std::vector<double> perSecond;
      for (size_t m = 0; m < modes.size(); ++m) {
        std::sort(times[m].begin(), times[m].end());
        const double median = times[m][times[m].size() / 2];
        perSecond.push_back(files / median);
        if (several) std::printf("%-5s ", names[m].c_str());
        std::printf("%-5s %-6s %3.0f files %9.0f bytes  %8.2f MB/s  %9.1f files/s\n", formats[format],
                    fromMemory ? "memory" : "disk", files, bytes, bytes / median / 1e6, files / median);
      }
      for (size_t m = 1; m < modes.size(); ++m) {
        char line[128];
        std::snprintf(line, sizeof line, "%-5s %-6s %s/%s %.2f\n", formats[format], fromMemory ? "memory" : "disk",
                      names[m].c_str(), names[0].c_str(), perSecond[m] / perSecond[0]);
        ratios.push_back(line);
      }
    }
  }
  for (const std::string& line : ratios) std::fputs(line.c_str(), stdout);
  return 0;
}
