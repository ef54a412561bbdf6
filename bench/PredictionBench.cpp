#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "AgainstFloor.h"
#include "BenchSupport.h"
#include "Floors.h"
#include "engine/PredictionRun.h"
#include "engine/WindmillArithmetic.h"
#include "engine/WindmillSimulator.h"
#include "history/DrawHistory.h"

namespace kitebar {
namespace {

// "予想開始" on the real history: draw 7089 has no position yet, so every run
// estimates it, saves the history file and computes the candidates. Its floor
// is the durable rewrite of a file of the history's size.
void BM_PredictionRunEstimatingNextDraw(benchmark::State& state) {
  const ScratchFolder folder;
  DrawHistory history;
  if (!folder.ok() || !LoadSampleHistory(history, state))
    return;
  const int next = history.count + 1;
  const std::string file = history.SaveText();
  TimeAgainstFloor(
      state, [&] { history.record(next) = DrawRecord{}; },
      [&] {
        const Result<Prediction> prediction = PredictionRun(history, next, false);
        benchmark::DoNotOptimize(prediction.ok());
        return prediction.ok();
      },
      [&] { return plain::RewriteDurably(kFloorFile, file); }, "the prediction run failed");
}
BENCHMARK(BM_PredictionRunEstimatingNextDraw)->UseManualTime()->Unit(benchmark::kMicrosecond);

// A draw that already has its position: no estimate, no file written.
void BM_PredictionRunWithStoredPosition(benchmark::State& state) {
  const ScratchFolder folder;
  DrawHistory history;
  if (!folder.ok() || !LoadSampleHistory(history, state))
    return;
  const int next = history.count + 1;
  if (!PredictionRun(history, next, false).ok()) {
    state.SkipWithError("the first run failed");
    return;
  }
  for (auto _ : state) {
    Result<Prediction> prediction = PredictionRun(history, next, true);
    benchmark::DoNotOptimize(prediction->candidates);
  }
}
BENCHMARK(BM_PredictionRunWithStoredPosition)->Unit(benchmark::kMicrosecond);

// The hit shift of the three places with the default settings.
void BM_ComputeHitShift(benchmark::State& state) {
  const ScratchFolder folder;
  const auto simulator = std::make_unique<WindmillSimulator>();
  simulator->SelectSettingsType(0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(simulator->ComputeHitShift());
    benchmark::DoNotOptimize(simulator->hitShift);
  }
}
BENCHMARK(BM_ComputeHitShift);

// The longest counting loops and reduction of one place: start-to-reach 9.0,
// start-to-hit 16.0 and step value 1 (the reach distance spans about 2,350
// circumferences).
void BM_PlaceHitShiftLongestRun(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(ComputePlaceHitShift(30.0f, 1, 9.0f, 16.0f));
  }
}
BENCHMARK(BM_PlaceHitShiftLongestRun);

}  // namespace
}  // namespace kitebar
