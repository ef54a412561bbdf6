#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "AgainstFloor.h"
#include "BenchSupport.h"
#include "Floors.h"
#include "history/DrawHistory.h"

namespace kitebar {
namespace {

// Load of the history file, as every repaint of the main view does it,
// against the floor of reading the file's bytes into a buffer that holds them.
void BM_LoadHistory(benchmark::State& state) {
  const ScratchFolder folder;
  DrawHistory history;
  if (!folder.ok() || !LoadHistoryOfSize(history, state))
    return;
  std::vector<char> buffer(history.SaveText().size() + 1);
  TimeAgainstFloor(
      state, NoPreparation, [&] { return history.Load().ok(); },
      [&] { return plain::ReadFile(kHistoryFileName, buffer) >= 0; }, "cannot load the history");
}
BENCHMARK(BM_LoadHistory)
    ->Arg(kSampleDrawCount)
    ->Arg(kLongDrawCount)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// Save, the whole file rewritten atomically after a change, against the floor
// of writing the file's bytes durably in place of an old file.
void BM_SaveHistory(benchmark::State& state) {
  const ScratchFolder folder;
  DrawHistory history;
  if (!folder.ok() || !LoadHistoryOfSize(history, state))
    return;
  const std::string text = history.SaveText();
  TimeAgainstFloor(
      state, NoPreparation, [&] { return history.Save().ok(); },
      [&] { return plain::RewriteDurably(kFloorFile, text); }, "cannot save the history");
}
BENCHMARK(BM_SaveHistory)
    ->Arg(kSampleDrawCount)
    ->Arg(kLongDrawCount)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kitebar
