#pragma once
// A main for the benchmarks that compare us with another library: every benchmark runs
// several times (median kept), and at the end each pair is printed as the other's median time
// over ours, so above 1 means we are faster. On a shared machine the ratio of one run is the
// figure to read; the absolute times move with the load.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace dkscr::bench {

struct RatioPair {
  std::string ours;
  std::string other;
};

class MedianCollector : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& reports) override {
    for (const Run& run : reports) {
      if (run.error_occurred) continue;
      // Without repetitions there is no aggregate: the single run stands for the median.
      if (run.aggregate_name == "median" || run.aggregate_name.empty()) {
        FMedians[run.run_name.function_name] = run.GetAdjustedCPUTime();
      }
    }
    ConsoleReporter::ReportRuns(reports);
  }

  void PrintRatios(const std::vector<RatioPair>& pairs) const {
    std::printf("\nRatios (other's median CPU time / ours; above 1: ours is faster)\n");
    for (const RatioPair& pair : pairs) {
      const auto ours = FMedians.find(pair.ours);
      const auto other = FMedians.find(pair.other);
      if (ours == FMedians.end() || other == FMedians.end() || ours->second <= 0) {
        std::printf("  %-32s vs %-32s  (not run)\n", pair.ours.c_str(), pair.other.c_str());
        continue;
      }
      std::printf("  %-32s vs %-32s  %.2f\n", pair.ours.c_str(), pair.other.c_str(),
                  other->second / ours->second);
    }
  }

 private:
  std::map<std::string, double> FMedians;
};

// Nine repetitions, interleaved in random order so that a burst of load elsewhere hits both
// sides of a pair alike, with only the aggregates shown, unless the command line says
// otherwise.
inline int RunWithRatios(int argc, char** argv, const std::vector<RatioPair>& pairs) {
  std::vector<char*> args(argv, argv + argc);
  std::string repetitions = "--benchmark_repetitions=9";
  std::string interleaving = "--benchmark_enable_random_interleaving=true";
  std::string aggregatesOnly = "--benchmark_report_aggregates_only=true";
  args.insert(args.begin() + 1, {repetitions.data(), interleaving.data(), aggregatesOnly.data()});
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
  MedianCollector reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios(pairs);
  benchmark::Shutdown();
  return 0;
}

}  // namespace dkscr::bench
