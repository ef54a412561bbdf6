#pragma once

#include <benchmark/benchmark.h>
#include <time.h>

#include <chrono>

namespace kitebar {

inline constexpr char kFloorCounter[] = "floor_s";
inline constexpr char kCpuCounter[] = "cpu_s";
inline constexpr char kRatioCounter[] = "ratio";
// The floors write files of their own beside those of the operations.
inline constexpr char kFloorFile[] = "floor.dat";
inline constexpr char kFloorAppendFile[] = "floor-append.dat";

inline double ProcessCpuSeconds() {
  timespec now{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Each iteration prepares (untimed), runs the operation and then its floor,
// so that both meet the disk in the same state: a disk whose flushes take
// 0.3 ms at one moment and 7 ms at the next would otherwise decide the ratio.
// The benchmark's time is the operation's wall time (register it with
// UseManualTime); the counters give the floor's wall time and the
// operation's CPU time per iteration, and the ratio of the two wall times
// over the repetition (so that the median ratio of several repetitions
// compares times taken together). `operation` and `floor` return false
// on failure, which ends the benchmark with `failure`.
template <typename Prepare, typename Operation, typename Floor>
void TimeAgainstFloor(benchmark::State& state, Prepare prepare, Operation operation, Floor floor,
                      const char* failure) {
  using Clock = std::chrono::steady_clock;
  double operationSeconds = 0;
  double floorSeconds = 0;
  double cpuSeconds = 0;
  for (auto _ : state) {
    prepare();
    const double cpuStart = ProcessCpuSeconds();
    const Clock::time_point start = Clock::now();
    const bool operationDone = operation();
    const Clock::time_point middle = Clock::now();
    cpuSeconds += ProcessCpuSeconds() - cpuStart;
    const bool floorDone = floor();
    const Clock::time_point end = Clock::now();
    if (!operationDone || !floorDone) {
      state.SkipWithError(failure);
      return;
    }
    const double seconds = std::chrono::duration<double>(middle - start).count();
    state.SetIterationTime(seconds);
    operationSeconds += seconds;
    floorSeconds += std::chrono::duration<double>(end - middle).count();
  }
  state.counters[kFloorCounter] =
      benchmark::Counter(floorSeconds, benchmark::Counter::kAvgIterations);
  state.counters[kCpuCounter] = benchmark::Counter(cpuSeconds, benchmark::Counter::kAvgIterations);
  if (floorSeconds > 0)
    state.counters[kRatioCounter] = operationSeconds / floorSeconds;
}

inline void NoPreparation() {}

}  // namespace kitebar
