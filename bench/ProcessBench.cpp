#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "AgainstFloor.h"
#include "BenchSupport.h"
#include "Floors.h"
#include "common/AtomicFile.h"
#include "engine/PredictionRecord.h"
#include "history/DrawHistory.h"
#include "reports/PredictionReport.h"

namespace kitebar {
namespace {

// A process that does nothing: its start and end are the least that any
// command costs.
const std::vector<std::string> kIdleProcess{"/bin/true"};
const std::vector<std::string> kPredictCommand{KITEBAR_CLI_PATH, "predict"};

// "kitebar-cli predict" as a whole process on the real history: it starts,
// loads the history, estimates and saves draw 7089 (the history file is
// restored without that position, and the prediction record removed, before
// each run), writes "showyosou.html" and adds the prediction to the record.
// With `withWrites` the floor is the idle process plus the two files written
// durably and the one flushed append, else the idle process alone.
void CliPredictProcess(benchmark::State& state, bool withWrites) {
  const ScratchFolder folder;
  DrawHistory history;
  if (!folder.ok() || !LoadSampleHistory(history, state))
    return;
  const std::string file = history.SaveText();
  if (!plain::RunProcess(kPredictCommand)) {
    state.SkipWithError("kitebar-cli predict failed");
    return;
  }
  const std::string page(std::filesystem::file_size(kPredictionPage), 'x');
  const std::string recordLine(std::filesystem::file_size(kPredictionRecordFile), 'x');
  TimeAgainstFloor(
      state,
      [&] {
        WriteFileAtomically(kHistoryFileName, file);
        std::filesystem::remove(kPredictionRecordFile);
      },
      [] { return plain::RunProcess(kPredictCommand); },
      [&] {
        return plain::RunProcess(kIdleProcess) &&
               (!withWrites || (plain::RewriteDurably(kFloorFile, file) &&
                                plain::RewriteDurably("floor.html", page) &&
                                plain::AppendDurably(kFloorAppendFile, recordLine)));
      },
      "kitebar-cli predict failed");
}

void BM_CliPredictProcess(benchmark::State& state) {
  CliPredictProcess(state, false);
}
BENCHMARK(BM_CliPredictProcess)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_CliPredictProcessWithWrites(benchmark::State& state) {
  CliPredictProcess(state, true);
}
BENCHMARK(BM_CliPredictProcessWithWrites)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kitebar
