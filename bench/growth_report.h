// A main for benchmarks measured at growing sizes and against peers: after the usual
// table it prints, for each benchmark, how its time grows from one size to the next,
// and for each pair given, how many times faster the first is than its peer on the
// same input, in CPU time. With --benchmark_repetitions the medians are used.
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
      const double ms = run.GetAdjustedCPUTime();  // the machine may be shared: CPU time is the fairer figure
      if (!times_.count(family)) order_.push_back(family);
      times_[family].push_back({args, ms});
      byName_[args.empty() ? family : family + "/" + args] = ms;
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\nGrowth (time at this size / time at the size before):\n");
    for (const std::string& family : order_) {
      const auto& points = times_[family];
      if (points.size() < 2) continue;
      std::printf("  %s:", family.c_str());
      for (std::size_t i = 0; i < points.size(); ++i) {
        std::printf(" %s %.3g", points[i].first.c_str(), points[i].second);
        if (i > 0 && points[i - 1].second > 0) std::printf(" (x%.2f)", points[i].second / points[i - 1].second);
        std::printf(i + 1 < points.size() ? ";" : "\n");
      }
    }
    if (pairs_.empty()) return;
    std::printf("\nAgainst peers (peer time / our time; above 1 means ours is faster):\n");
    for (const Pair& pair : pairs_) {
      const auto ours = byName_.find(pair.ours);
      const auto peer = byName_.find(pair.peer);
      if (ours == byName_.end() || peer == byName_.end() || ours->second <= 0) continue;
      std::printf("  %s vs %s: %.2f\n", pair.ours.c_str(), pair.peer.c_str(), peer->second / ours->second);
    }
  }

 private:
  std::vector<Pair> pairs_;
  std::vector<std::string> order_;
  std::map<std::string, std::vector<std::pair<std::string, double>>> times_;
  std::map<std::string, double> byName_;
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
