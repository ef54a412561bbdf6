#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

#include "AgainstFloor.h"
#include "BenchSupport.h"
#include "Floors.h"
#include "common/AtomicFile.h"
#include "common/Feedback.h"
#include "engine/BackTest.h"
#include "engine/PositionAnalysis.h"

namespace kitebar {
namespace {

constexpr int kRecentDrawCount = 500;

// The recent-draws run on the real history without positions: each of the
// 500 draws estimates its position, rewrites the history and appends an
// entry. Its floor is what it must write at the least: 500 durable rewrites
// of a file of the history's size and 500 durable appends of an entry.
void BM_RecentBackTestPositionFree(benchmark::State& state) {
  const ScratchFolder folder;
  DrawHistory pristine;
  if (!folder.ok() || !LoadSampleHistory(pristine, state))
    return;
  const std::string file = pristine.SaveText();
  const std::string entry = BackTestEntry(pristine.count, BackTestResult{});
  DrawHistory history;
  TimeAgainstFloor(
      state,
      [&] {
        history = pristine;
        WriteFileAtomically(kHistoryFileName, file);
      },
      [&] { return RunRecentBackTest(history).ok(); },
      [&] {
        for (int draw = 0; draw < kRecentDrawCount; ++draw) {
          if (!plain::RewriteDurably(kFloorFile, file) ||
              !plain::AppendDurably(kFloorAppendFile, entry)) {
            return false;
          }
        }
        return true;
      },
      "the recent-draws run failed");
}
BENCHMARK(BM_RecentBackTestPositionFree)->UseManualTime()->Unit(benchmark::kMillisecond);

// The analysis in automatic mode up to the last draw (the draw after the last
// one, when the format still holds it), on a history without positions: every
// draw is estimated and stored, and the history saved. Its floor is the
// durable rewrite of a file of the size of the saved history.
void BM_AnalysePositionsAutomatic(benchmark::State& state) {
  const ScratchFolder folder;
  DrawHistory pristine;
  const bool loaded = state.range(0) == kLongDrawCount ? LoadLongHistory(pristine, state, false)
                                                       : LoadSampleHistory(pristine, state);
  if (!folder.ok() || !loaded)
    return;
  const int drawNumber = std::min(pristine.count + 1, kLongDrawCount);
  SilentFeedback feedback;
  DrawHistory history = pristine;
  if (!AnalysePositions(history, drawNumber, AnalysisMode::kAutomatic, 0, feedback).ok()) {
    state.SkipWithError("the analysis failed");
    return;
  }
  const std::string saved = history.SaveText();
  TimeAgainstFloor(
      state, [&] { history = pristine; },
      [&] {
        return AnalysePositions(history, drawNumber, AnalysisMode::kAutomatic, 0, feedback).ok();
      },
      [&] { return plain::RewriteDurably(kFloorFile, saved); }, "the analysis failed");
}
BENCHMARK(BM_AnalysePositionsAutomatic)
    ->Arg(kSampleDrawCount)
    ->Arg(kLongDrawCount)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kitebar
