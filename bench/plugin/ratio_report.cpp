#include "bench/plugin/ratio_report.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

namespace skylane_bench {
namespace {

// Keeps the items-per-second figure of every run while printing as usual;
// with repetitions, the median of each benchmark's runs.
class Collector : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      const auto it = run.counters.find("items_per_second");
      if (it != run.counters.end()) speed[run.run_name.str()] = it->second.value;
    }
  }
  std::map<std::string, double> speed;
};

}  // namespace

int runAndCompare(int argc, char** argv, const std::vector<Comparison>& comparisons) {
  benchmark::Initialize(&argc, argv);
  Collector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);
  for (const Comparison& c : comparisons) {
    const auto subject = collector.speed.find(c.subject);
    if (subject == collector.speed.end()) continue;
    std::string best;
    for (const std::string& name : c.baselines) {
      const auto it = collector.speed.find(name);
      if (it != collector.speed.end() && (best.empty() || it->second > collector.speed[best]))
        best = name;
    }
    if (best.empty()) continue;
    const double ratio = subject->second / collector.speed[best];
    std::printf("ratio %s / %s%s = %.2f", c.subject.c_str(),
                c.baselines.size() > 1 ? "fastest peer " : "", best.c_str(), ratio);
    if (c.goal > 0) std::printf(" (goal %.2f: %s)", c.goal, ratio >= c.goal ? "met" : "not met");
    std::printf("\n");
  }
  return 0;
}

}  // namespace skylane_bench
