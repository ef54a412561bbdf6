#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "common/Feedback.h"
#include "engine/BackTest.h"
#include "engine/PositionAnalysis.h"

namespace kitebar {
namespace {

// The recent-draws run on the real history without positions: each of the
// 500 draws estimates its position, rewrites the history and appends an entry.
void BM_RecentBackTestPositionFree(benchmark::State& state) {
  const ScratchFolder folder;
  DrawHistory pristine;
  if (!folder.ok() || !LoadSampleHistory(pristine, state))
    return;
  const std::string file = pristine.SaveText();
  for (auto _ : state) {
    state.PauseTiming();
    DrawHistory history = pristine;
    if (!WriteFileAtomically(kHistoryFileName, file).ok()) {
      state.SkipWithError("cannot restore the history file");
      return;
    }
    state.ResumeTiming();
    if (!RunRecentBackTest(history).ok()) {
      state.SkipWithError("the recent-draws run failed");
      return;
    }
  }
}
BENCHMARK(BM_RecentBackTestPositionFree)->Unit(benchmark::kMillisecond);

// The analysis of every draw of the real history in automatic mode.
void BM_AnalysePositionsAutomatic(benchmark::State& state) {
  const ScratchFolder folder;
  DrawHistory pristine;
  if (!folder.ok() || !LoadSampleHistory(pristine, state))
    return;
  SilentFeedback feedback;
  for (auto _ : state) {
    state.PauseTiming();
    DrawHistory history = pristine;
    state.ResumeTiming();
    const Result<PositionAnalysis> analysis =
        AnalysePositions(history, history.count + 1, AnalysisMode::kAutomatic, 0, feedback);
    benchmark::DoNotOptimize(analysis.ok());
  }
}
BENCHMARK(BM_AnalysePositionsAutomatic)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kitebar
