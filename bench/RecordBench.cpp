#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "AgainstFloor.h"
#include "BenchSupport.h"
#include "Floors.h"
#include "common/AppendFile.h"
#include "common/AtomicFile.h"
#include "common/NumberText.h"
#include "engine/PredictionRecord.h"
#include "engine/PredictionRun.h"
#include "history/DrawHistory.h"

namespace kitebar {
namespace {

const std::vector<std::string> kIdleProcess{"/bin/true"};
const std::vector<std::string> kRecordCommand{KITEBAR_CLI_PATH, "record"};

// A record of 2 x `draws` entries: the draws up to the last of the sample,
// each predicted and then drawn, chained as Kitebar writes it (every tenth
// draw predicted with another setting instead).
std::string SampleRecord(const DrawHistory& history, int draws) {
  std::string text;
  std::string chain(kRecordGenesis);
  const auto add = [&](const RecordEntry& entry) {
    text += RecordLine(entry, chain);
    chain = text.substr(text.size() - 65, 64);
  };
  for (int draw = history.count - draws + 1; draw <= history.count; ++draw) {
    const int setting = draw % 10 == 0 ? 1 : 0;
    RecordEntry prediction;
    prediction.time = "2025-01-06T09:30:00Z";
    prediction.draw = draw;
    prediction.settingsType = setting;
    prediction.digest = setting == 0 ? "0123456789ab" : "ba9876543210";
    for (int k = 0; k < kCandidateCount; ++k)
      prediction.candidates[static_cast<std::size_t>(k)] = (draw * 7 + k * 111 + setting) % 1000;
    add(prediction);
    RecordEntry result;
    result.kind = RecordEntry::Kind::kResult;
    result.time = "2025-01-07T12:00:00Z";
    result.draw = draw;
    result.winning = ParseIntLikeAtoi(history.record(draw).digitsText());
    add(result);
  }
  return text;
}

// One shown prediction added to a record of 1,000 entries (500 draws, about
// two years), as `predict` adds it: under the lock, the history reloaded, the
// record read and its chain checked, then the line flushed. The floor is the
// one flushed append that it cannot do without.
void BM_RecordShownPrediction(benchmark::State& state) {
  const ScratchFolder folder;
  DrawHistory history;
  if (!folder.ok() || !LoadSampleHistory(history, state))
    return;
  if (!WriteFileAtomically(kPredictionRecordFile, SampleRecord(history, 500)).ok()) {
    state.SkipWithError("cannot write the record");
    return;
  }
  Result<Prediction> prediction = PredictionRun(history, history.count + 1, false);
  if (!prediction.ok()) {
    state.SkipWithError("cannot predict");
    return;
  }
  Prediction shown = *prediction;
  const std::string line(150, 'x');
  int shownCount = 0;
  TimeAgainstFloor(
      state, [&] { shown.settingsDigest = FormatZeroPadded(++shownCount, 12); },
      [&] {
        const Result<RecordOutcome> recorded = RecordShownPrediction(history, shown);
        return recorded.ok() && *recorded == RecordOutcome::kAdded;
      },
      [&] { return plain::AppendDurably(kFloorAppendFile, line + "\n"); },
      "cannot record the prediction");
}
BENCHMARK(BM_RecordShownPrediction)->UseManualTime()->Unit(benchmark::kMillisecond);

// The append alone, against the same floor.
void BM_AppendRecordLine(benchmark::State& state) {
  const ScratchFolder folder;
  if (!folder.ok())
    return;
  const std::string line = std::string(150, 'x') + "\n";
  TimeAgainstFloor(
      state, NoPreparation,
      [&] {
        return AppendLinesDurably(kPredictionRecordFile, line, kMaxPredictionRecordBytes).ok();
      },
      [&] { return plain::AppendDurably(kFloorAppendFile, line); }, "cannot append");
}
BENCHMARK(BM_AppendRecordLine)->UseManualTime()->Unit(benchmark::kMillisecond);

// "kitebar-cli record" as a whole process on a record of 10,000 entries
// (5,000 draws of the sample, each predicted and drawn): read, every chain
// value checked, scored with the exact p-values. The floor is the idle
// process.
void BM_CliRecordProcess(benchmark::State& state) {
  const ScratchFolder folder;
  DrawHistory history;
  if (!folder.ok() || !LoadSampleHistory(history, state))
    return;
  if (!WriteFileAtomically(kPredictionRecordFile, SampleRecord(history, 5000)).ok() ||
      !plain::RunProcess(kRecordCommand)) {
    state.SkipWithError("kitebar-cli record failed");
    return;
  }
  TimeAgainstFloor(
      state, NoPreparation, [] { return plain::RunProcess(kRecordCommand); },
      [] { return plain::RunProcess(kIdleProcess); }, "kitebar-cli record failed");
}
BENCHMARK(BM_CliRecordProcess)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kitebar
