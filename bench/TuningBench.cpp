#include <benchmark/benchmark.h>

#include <string>
#include <thread>
#include <vector>

#include "AgainstFloor.h"
#include "BenchSupport.h"
#include "Floors.h"
#include "engine/PreparedHistory.h"
#include "engine/SettingsSearch.h"
#include "engine/WalkForwardPredictor.h"
#include "history/DrawHistory.h"

namespace kitebar {
namespace {

// Settings of a random sample, scored per iteration, so that no table stays
// warm from one setting to the next more than it would in a search.
constexpr int kSettingsPerIteration = 64;
constexpr int kSearchBudget = 4000;
constexpr float kDiameter = 30.0f;
constexpr int kStepNum = 40;

std::vector<SearchedSetting> SampleSettings() {
  std::vector<SearchedSetting> settings;
  for (int n = 0; n < kSettingsPerIteration; ++n)
    settings.push_back(RandomSetting(kDefaultSearchSeed, n));
  return settings;
}

// The floor of a setting's score: its candidates for every draw (the
// predictor's tables, then one key per draw), and nothing else.
int CandidatesAlone(const PreparedHistory& history, const std::vector<SearchedSetting>& settings) {
  int sum = 0;
  for (const SearchedSetting& setting : settings) {
    const WalkForwardPredictor predictor(EngineSetOf(setting), kDiameter, kStepNum);
    for (int n = 2; n <= history.count(); ++n)
      sum += predictor.KeyFromPreviousWinning(history.draw(n - 1).winningDigits);
  }
  return sum;
}

// What the search repeats for every setting over the 7,087 draws of the real
// history, on one core: the set as the engine would read it once saved, its
// candidates, the box hits and the chances. items_per_second is the
// evaluations per second of one core.
void BM_ScoreSearchedSettings(benchmark::State& state) {
  const ScratchFolder folder;
  DrawHistory history;
  if (!folder.ok() || !LoadSampleHistory(history, state))
    return;
  const PreparedHistory prepared(history);
  const SettingScorer scorer(prepared, kDiameter, kStepNum, HitKind::kBox);
  const std::vector<SearchedSetting> settings = SampleSettings();
  TimeAgainstFloor(
      state, NoPreparation,
      [&] {
        int hits = 0;
        for (const SearchedSetting& setting : settings)
          hits += scorer.Score(setting).score.hits;
        benchmark::DoNotOptimize(hits);
        return hits > 0;
      },
      [&] {
        benchmark::DoNotOptimize(CandidatesAlone(prepared, settings));
        return true;
      },
      "the score failed");
  state.SetItemsProcessed(state.iterations() * kSettingsPerIteration);
}
BENCHMARK(BM_ScoreSearchedSettings)->UseManualTime()->Unit(benchmark::kMillisecond);

// The search of 4,000 settings over the real history with two threads,
// against the same search with one thread, run alternately with it: the
// ratio is the inverse of the speed-up.
void BM_SearchTwoThreadsAgainstOne(benchmark::State& state) {
  const ScratchFolder folder;
  DrawHistory history;
  if (!folder.ok() || !LoadSampleHistory(history, state))
    return;
  const PreparedHistory prepared(history);
  const SettingScorer scorer(prepared, kDiameter, kStepNum, HitKind::kBox);
  const auto search = [&](int threads) {
    const SearchResult result =
        SearchSettings(scorer, {kSearchBudget, kDefaultSearchSeed, threads});
    benchmark::DoNotOptimize(result.bestScore);
    return result.tried == kSearchBudget;
  };
  TimeAgainstFloor(
      state, NoPreparation, [&] { return search(2); }, [&] { return search(1); },
      "the search failed");
}
BENCHMARK(BM_SearchTwoThreadsAgainstOne)->UseManualTime()->Unit(benchmark::kMillisecond);

// Plain arithmetic that no compiler reorders: the additions wait on each
// other.
double Spin(long steps) {
  double sum = 0;
  for (long step = 0; step < steps; ++step)
    sum += static_cast<double>(step) * 1e-9;
  return sum;
}

// What the machine gives two threads at the moment: a fixed amount of plain
// arithmetic on two threads against the same on one, run alternately. On an
// idle two-core machine the ratio is 0.5; beside the search's ratio it tells
// the load of a shared machine from the search's own overhead.
void BM_TwoThreadsOfPlainArithmetic(benchmark::State& state) {
  constexpr long kSteps = 60'000'000;
  TimeAgainstFloor(
      state, NoPreparation,
      [] {
        double first = 0;
        double second = 0;
        {
          const std::jthread helper([&first] { first = Spin(kSteps / 2); });
          second = Spin(kSteps / 2);
        }
        benchmark::DoNotOptimize(first + second);
        return true;
      },
      [] {
        benchmark::DoNotOptimize(Spin(kSteps));
        return true;
      },
      "the arithmetic failed");
}
BENCHMARK(BM_TwoThreadsOfPlainArithmetic)->UseManualTime()->Unit(benchmark::kMillisecond);

// "kitebar-cli tune" as a whole process with its defaults (20,000 settings,
// one thread per core) on the real history of 7,088 draws, training on as
// many draws as it may, against a process that does nothing.
void BM_CliTuneProcess(benchmark::State& state) {
  const ScratchFolder folder;
  DrawHistory history;
  if (!folder.ok() || !LoadSampleHistory(history, state))
    return;
  const std::vector<std::string> command{KITEBAR_CLI_PATH, "tune", "--train-to",
                                         std::to_string(history.count - 100)};
  TimeAgainstFloor(
      state, NoPreparation, [&] { return plain::RunProcess(command); },
      [] { return plain::RunProcess({"/bin/true"}); }, "kitebar-cli tune failed");
}
BENCHMARK(BM_CliTuneProcess)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kitebar
