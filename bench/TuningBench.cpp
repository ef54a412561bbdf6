#include <benchmark/benchmark.h>

#include <string>
#include <thread>
#include <vector>

#include "AgainstFloor.h"
#include "BenchSupport.h"
#include "Floors.h"
#include "engine/AdjustedPValue.h"
#include "engine/PreparedHistory.h"
#include "engine/RandomStream.h"
#include "engine/RuleSearch.h"
#include "history/DrawHistory.h"

namespace kitebar {
namespace {

constexpr int kSimulatedDraws = 6500;

// The floor of scoring every rule: one pass over the draws that reads what
// each draw offers to compare, and nothing else.
int DrawsAlone(const PreparedHistory& history) {
  int sum = 0;
  for (int n = 2; n <= history.count(); ++n)
    sum += history.draw(n - 1).winningShape.stepCode + history.draw(n).winningShape.tensToUnits;
  return sum;
}

// Every rule scored exactly over the 7,087 tested draws of the real history,
// with the p-value of each, for box (three chance levels).
void BM_ScoreEveryRule(benchmark::State& state) {
  const ScratchFolder folder;
  DrawHistory history;
  if (!folder.ok() || !LoadSampleHistory(history, state))
    return;
  const PreparedHistory prepared(history);
  TimeAgainstFloor(
      state, NoPreparation,
      [&] {
        const std::vector<RuleResult> rules = ScoreEveryRule(prepared, HitKind::kBox);
        benchmark::DoNotOptimize(rules.data());
        return rules.size() == static_cast<std::size_t>(kRuleCount);
      },
      [&] {
        benchmark::DoNotOptimize(DrawsAlone(prepared));
        return true;
      },
      "the scores failed");
}
BENCHMARK(BM_ScoreEveryRule)->UseManualTime()->Unit(benchmark::kMillisecond);

// The random words that 10,000 histories of 6,500 draws take, and nothing
// else: the floor of the simulation.
std::uint64_t RandomWordsAlone(int histories) {
  std::uint64_t sum = 0;
  for (int history = 0; history < histories; ++history) {
    RandomStream random(kAdjustedPSeed, history);
    for (int word = 0; word < kSimulatedDraws / 6 + 1; ++word)
      sum += random.Next();
  }
  return sum;
}

// The adjusted p-value of box over 10,000 simulated histories of 6,500
// draws on two threads, at an observed p-value near the real best's.
void BM_AdjustedPValueBox(benchmark::State& state) {
  TimeAgainstFloor(
      state, NoPreparation,
      [] {
        const AdjustedP adjusted = AdjustPValue(
            {HitKind::kBox, kSimulatedDraws, 0.03, kAdjustedPHistories, kAdjustedPSeed, 2});
        benchmark::DoNotOptimize(adjusted.p);
        return adjusted.histories == kAdjustedPHistories;
      },
      [] {
        benchmark::DoNotOptimize(RandomWordsAlone(kAdjustedPHistories));
        return true;
      },
      "the simulation failed");
}
BENCHMARK(BM_AdjustedPValueBox)->UseManualTime()->Unit(benchmark::kMillisecond);

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
// idle two-core machine the ratio is 0.5; beside the simulation's time it
// tells the load of a shared machine.
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

// "kitebar-cli tune" as a whole process with its defaults (box, one thread
// per core) on the real history of 7,088 draws, training on as many draws
// as it may: every rule scored and 10,000 simulated histories of 6,987
// draws, against a process that does nothing.
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
