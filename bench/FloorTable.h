#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace kitebar {

// The console output of Google Benchmark, followed by the table of the
// program's long operations: each one's time beside its floor (the least the
// machine must do for it, measured alternately with it, see AgainstFloor.h),
// their ratio and the target where there is one. With repetitions, each
// column is the median of the repetitions (the ratio too, so it may differ
// from the ratio of the two medians).
class FloorTableReporter final : public benchmark::ConsoleReporter {
 public:
  using ConsoleReporter::ConsoleReporter;

  void ReportRuns(const std::vector<Run>& runs) override;
  void Finalize() override;

 private:
  struct Timing {
    double realSeconds = 0;
    double cpuSeconds = 0;
    double floorSeconds = 0;
    double ratio = 0;
  };

  void PrintTable() const;
  const Timing* Find(const std::string& name) const;

  std::map<std::string, Timing> timings_;
};

}  // namespace kitebar
