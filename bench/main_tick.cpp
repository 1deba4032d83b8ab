// The cost of one main tick at level 10 with the game's indexed position tests and with the
// literal scans of the rules, side by side, and how many times faster the first is.
#include <cstdio>
#include <map>
#include <string>
#include <utility>

#include "bench/tick_case.h"

BENCHMARK(mazeblast::mainTickLevel10)->Name("MainTickLevel10/indexed");
BENCHMARK(mazeblast::positionTests)->Name("PositionTests/indexed");

namespace {

// Prints as the console does and keeps each benchmark's median (or only) time.
class Keeper : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
      if (median || r.run_type == Run::RT_Iteration)
        times[r.run_name.str()] = r.GetAdjustedRealTime();
    }
  }
  std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Keeper keeper;
  benchmark::RunSpecifiedBenchmarks(&keeper);
  for (const char* name : {"MainTickLevel10", "PositionTests"}) {
    const auto fast = keeper.times.find(std::string(name) + "/indexed");
    const auto slow = keeper.times.find(std::string(name) + "/literal");
    if (fast != keeper.times.end() && slow != keeper.times.end() && fast->second > 0)
      std::printf("%s: the literal scans take %.1f times as long as the indexed tests\n", name,
                  slow->second / fast->second);
  }
  benchmark::Shutdown();
  return 0;
}
