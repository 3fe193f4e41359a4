// A main for benchmarks measured at growing sizes and against peers: after the usual
// table it prints, for each benchmark, how its time grows from one size to the next,
// and for each pair given, how many times faster the first is than its peer on the
// same input, in CPU time and on the wall clock (where a user waits, the clock is
// what counts; CPU time is the steadier figure on a shared machine). With
// --benchmark_repetitions the medians are used.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace benchgrowth {

struct Pair {
  std::string ours;  // full benchmark names, e.g. "BM_LzUnpack/0"
  std::string peer;
};

class Reporter : public benchmark::ConsoleReporter {
 public:
  explicit Reporter(std::vector<Pair> pairs) : pairs_(std::move(pairs)) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
      if (!median && !single) continue;
      const std::string family = run.run_name.function_name;
      const std::string args = run.run_name.args;
      const Time t{run.GetAdjustedCPUTime(), run.GetAdjustedRealTime()};
      if (!times_.count(family)) order_.push_back(family);
      times_[family].push_back({args, t});
      byName_[args.empty() ? family : family + "/" + args] = t;
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    for (const bool wall : {false, true}) {
      std::printf("\nGrowth, %s (time at this size / time at the size before):\n", wall ? "wall clock" : "CPU time");
      for (const std::string& family : order_) {
        const auto& points = times_[family];
        if (points.size() < 2) continue;
        std::printf("  %s:", family.c_str());
        for (std::size_t i = 0; i < points.size(); ++i) {
          const double now = points[i].second.Of(wall);
          std::printf(" %s %.3g", points[i].first.c_str(), now);
          if (i > 0 && points[i - 1].second.Of(wall) > 0) std::printf(" (x%.2f)", now / points[i - 1].second.Of(wall));
          std::printf(i + 1 < points.size() ? ";" : "\n");
        }
      }
    }
    if (pairs_.empty()) return;
    std::printf("\nAgainst peers and baselines (their time / our time; above 1 means ours is faster):\n");
    for (const Pair& pair : pairs_) {
      const auto ours = byName_.find(pair.ours);
      const auto peer = byName_.find(pair.peer);
      if (ours == byName_.end() || peer == byName_.end() || ours->second.cpu <= 0 || ours->second.real <= 0) continue;
      std::printf("  %s vs %s: CPU %.2f, wall %.2f\n", pair.ours.c_str(), pair.peer.c_str(),
                  peer->second.cpu / ours->second.cpu, peer->second.real / ours->second.real);
    }
  }

 private:
  struct Time {
    double cpu = 0, real = 0;
    double Of(bool wall) const { return wall ? real : cpu; }
  };
  std::vector<Pair> pairs_;
  std::vector<std::string> order_;
  std::map<std::string, std::vector<std::pair<std::string, Time>>> times_;
  std::map<std::string, Time> byName_;
};

inline int Main(int argc, char** argv, std::vector<Pair> pairs = {}) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  Reporter reporter(std::move(pairs));
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace benchgrowth
