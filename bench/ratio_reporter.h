// The console table of Google Benchmark followed by ours / peer ratios for
// named pairs of benchmarks, so that a run on a busy machine still compares
// like with like: both figures come from the same run.
#ifndef GNUTIL_BENCH_RATIO_REPORTER_H
#define GNUTIL_BENCH_RATIO_REPORTER_H

#include <benchmark/benchmark.h>
#include <stdio.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace gnutil::bench {

struct RatioPair {
  std::string ours;
  std::string peer;
  double goal = 0;  // the ratio aimed at, printed beside it; 0 for none
};

// Prints ours / peer for every pair after the table, in real and in CPU time:
// on a busy machine the real time of a one-thread loop includes time spent
// descheduled, and its CPU time is the fairer figure there.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  explicit RatioReporter(std::vector<RatioPair> pairs) : pairs_(std::move(pairs)) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      // Per operation and per thread, so thread counts compare fairly. With
      // --benchmark_repetitions the median stands for the benchmark.
      if (run.run_type == Run::RT_Iteration) {
        times_.emplace(run.run_name.str(),
                       Times{run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()});
      } else if (run.aggregate_name == "median") {
        times_[run.run_name.str()] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
      }
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    printf("\nRatios, ours / peer (real time; CPU time):\n");
    for (const RatioPair& pair : pairs_) Print(pair);
  }

 private:
  struct Times {
    double real, cpu;
  };

  void Print(const RatioPair& pair) const {
    auto a = times_.find(pair.ours);
    auto b = times_.find(pair.peer);
    if (a == times_.end() || b == times_.end() || b->second.real <= 0 || b->second.cpu <= 0) {
      return;
    }
    printf("  %-28s / %-24s %6.2fx (%.1f vs %.1f ns); %6.2fx (%.1f vs %.1f ns)", pair.ours.c_str(),
           pair.peer.c_str(), a->second.real / b->second.real, a->second.real, b->second.real,
           a->second.cpu / b->second.cpu, a->second.cpu, b->second.cpu);
    if (pair.goal > 0) printf("  goal <= %.1fx", pair.goal);
    printf("\n");
  }

  std::vector<RatioPair> pairs_;
  std::map<std::string, Times> times_;
};

// The main function of a benchmark program that reports these ratios.
inline int RunWithRatios(int argc, char** argv, std::vector<RatioPair> pairs) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter(std::move(pairs));
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace gnutil::bench

#endif  // GNUTIL_BENCH_RATIO_REPORTER_H
