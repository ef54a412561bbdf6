#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "AgainstFloor.h"
#include "BenchSupport.h"
#include "Floors.h"
#include "common/AtomicFile.h"
#include "engine/Evaluation.h"
#include "engine/PreparedHistory.h"
#include "engine/RandomStream.h"
#include "engine/WalkForward.h"
#include "engine/WalkForwardPredictor.h"
#include "engine/WindmillSimulator.h"
#include "history/DrawHistory.h"

namespace kitebar {
namespace {

// The real history prepared once and the five sets read once, as a search
// over settings holds them.
struct EvaluationInputs {
  explicit EvaluationInputs(const DrawHistory& history) : prepared(history) {
    const RunSettings base = ReadRunSettings();
    for (int set = 0; set < kSettingsTypeCount; ++set)
      predictors.emplace_back(ReadSettingsType(set), base.diameter, base.stepNum);
  }
  DrawRange range() const { return {2, prepared.count()}; }

  PreparedHistory prepared;
  std::vector<WalkForwardPredictor> predictors;
};

// The floor of an evaluation: the candidates of the same draws with the same
// sets, and nothing else.
int CandidatesAlone(const EvaluationInputs& inputs, int sets) {
  int sum = 0;
  for (int set = 0; set < sets; ++set) {
    const WalkForwardPredictor& predictor = inputs.predictors[static_cast<std::size_t>(set)];
    for (int n = 2; n <= inputs.prepared.count(); ++n)
      sum += predictor.KeyFromPreviousWinning(inputs.prepared.draw(n - 1).winningDigits);
  }
  return sum;
}

// The evaluation of `sets` sets over the whole history: the candidates, the
// hits and chances of every draw, and per set and kind the exact p-value
// and the 95 % range.
bool EvaluateSets(const EvaluationInputs& inputs, int sets, HitDistribution& scratch) {
  double sum = 0;
  for (int set = 0; set < sets; ++set) {
    const WalkTally tally =
        WalkDraws(inputs.prepared, inputs.predictors[static_cast<std::size_t>(set)], inputs.range(),
                  PositionSource::kEstimated, nullptr);
    for (const KindTally& kind : tally.kinds)
      sum += SummarizeKind(kind, scratch).pValue;
  }
  benchmark::DoNotOptimize(sum);
  return sum > 0;
}

// Times `operation` (given the history and the inputs) on the real history
// against the floor of computing the candidates of `sets` sets alone.
template <typename Operation>
void TimeAgainstCandidates(benchmark::State& state, int sets, const Operation& operation,
                           const char* failure) {
  const ScratchFolder folder;
  DrawHistory history;
  if (!folder.ok() || !LoadSampleHistory(history, state))
    return;
  const EvaluationInputs inputs(history);
  TimeAgainstFloor(
      state, NoPreparation, [&] { return operation(history, inputs); },
      [&] {
        benchmark::DoNotOptimize(CandidatesAlone(inputs, sets));
        return true;
      },
      failure);
}

void EvaluateAgainstCandidates(benchmark::State& state, int sets) {
  HitDistribution scratch(DrawHistory::kMaxDrawNumber);
  TimeAgainstCandidates(
      state, sets,
      [&](const DrawHistory&, const EvaluationInputs& inputs) {
        return EvaluateSets(inputs, sets, scratch);
      },
      "the evaluation failed");
}

// One set over the 7,087 draws of the real history.
void BM_EvaluateOneSet(benchmark::State& state) {
  EvaluateAgainstCandidates(state, 1);
}
BENCHMARK(BM_EvaluateOneSet)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The five sets, as the page's comparison needs them.
void BM_EvaluateFiveSets(benchmark::State& state) {
  EvaluateAgainstCandidates(state, kSettingsTypeCount);
}
BENCHMARK(BM_EvaluateFiveSets)->UseManualTime()->Unit(benchmark::kMicrosecond);

// For comparison: the same candidates from the simulator as the prediction
// run computes them (one simulator for all draws, so without the cost of a
// simulator and a settings read per draw that the run itself pays).
void BM_CandidatesBySimulator(benchmark::State& state) {
  auto simulator = std::make_unique<WindmillSimulator>();
  TimeAgainstCandidates(
      state, 1,
      [&](const DrawHistory& history, const EvaluationInputs&) {
        simulator->drawNumber = history.count;
        if (!simulator->RunDraws(history, true, 0).ok())
          return false;
        for (int n = 2; n <= history.count; ++n) {
          const std::string_view position =
              WindmillSimulator::Triple(simulator->estimatedPositions, n - 2);
          for (std::size_t place = 0; place < position.size(); ++place)
            simulator->inputPosition[place] = static_cast<std::uint16_t>(position[place]);
          simulator->PredictCandidates(0);
          benchmark::DoNotOptimize(simulator->candidates);
        }
        return true;
      },
      "the simulator failed");
}
BENCHMARK(BM_CandidatesBySimulator)->UseManualTime()->Unit(benchmark::kMicrosecond);

// What a search over settings repeats: one set's box hits and expected hits
// over the draws, without the distribution.
void BM_ScoreOneSet(benchmark::State& state) {
  TimeAgainstCandidates(
      state, 1,
      [](const DrawHistory&, const EvaluationInputs& inputs) {
        const KindScore score =
            ScoreDraws(inputs.prepared, inputs.predictors.front(), inputs.range(),
                       PositionSource::kEstimated, HitKind::kBox);
        benchmark::DoNotOptimize(score);
        return score.draws > 0;
      },
      "the score failed");
}
BENCHMARK(BM_ScoreOneSet)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Everything the page needs, from the history in memory and the settings
// files: five sets, the course of each kind with its band.
void BM_EvaluateHistory(benchmark::State& state) {
  TimeAgainstCandidates(
      state, kSettingsTypeCount,
      [](const DrawHistory& history, const EvaluationInputs&) {
        const Result<Evaluation> evaluation = EvaluateHistory(history, EvaluationRequest{});
        benchmark::DoNotOptimize(evaluation.ok());
        return evaluation.ok();
      },
      "the evaluation failed");
}
BENCHMARK(BM_EvaluateHistory)->UseManualTime()->Unit(benchmark::kMicrosecond);

// "kitebar-cli evaluate" as a whole process on the real history, writing its
// page, against a process that does nothing.
void BM_CliEvaluateProcess(benchmark::State& state) {
  const ScratchFolder folder;
  DrawHistory history;
  if (!folder.ok() || !LoadSampleHistory(history, state))
    return;
  const std::vector<std::string> command{KITEBAR_CLI_PATH, "evaluate"};
  TimeAgainstFloor(
      state, NoPreparation, [&] { return plain::RunProcess(command); },
      [] { return plain::RunProcess({"/bin/true"}); }, "kitebar-cli evaluate failed");
}
BENCHMARK(BM_CliEvaluateProcess)->UseManualTime()->Unit(benchmark::kMillisecond);

// Not a time: how the page's whole-course bands hold on the process that
// makes the hits. 4,000 histories of as many draws as the real one, every
// winning number drawn uniformly, tested with the prediction set as the page
// tests them; counted per kind, the share of courses that leave the band
// anywhere (an error above 5 % by more than three standard errors). For
// straight and mini the band follows from the chances alone, for box from
// the draw structure alone: one evaluation gives the band of every history.
void BM_BandCoverageOnChanceHistories(benchmark::State& state) {
  constexpr int kHistories = 4000;
  const ScratchFolder folder;
  if (!folder.ok())
    return;
  const auto chanceHistory = [](int index) {
    DrawHistory history;
    RandomStream random(24680, index);
    for (int draw = 1; draw <= kSampleDrawCount; ++draw) {
      const std::string digits = std::to_string(1000 + random.Below(1000)).substr(1);
      if (!history.AppendImportedDraw(digits).ok())
        break;
    }
    return history;
  };
  for (auto _ : state) {
    const Result<Evaluation> page = EvaluateHistory(chanceHistory(-1), EvaluationRequest{});
    if (!page.ok()) {
      state.SkipWithError("the evaluation failed");
      return;
    }
    const RunSettings base = ReadRunSettings();
    const WalkForwardPredictor predictor(ReadSettingsType(page->settingsType), base.diameter,
                                         base.stepNum);
    std::array<int, kHitKindCount> outside{};
    std::vector<TestedDraw> tested;
    for (int index = 0; index < kHistories; ++index) {
      const PreparedHistory prepared(chanceHistory(index));
      tested.clear();
      WalkDraws(prepared, predictor, page->range, PositionSource::kEstimated, &tested);
      for (int kind = 0; kind < kHitKindCount; ++kind) {
        const std::vector<CoursePoint>& course = page->courses[static_cast<std::size_t>(kind)];
        double excess = 0;
        std::size_t point = 0;
        bool stayed = true;
        for (const TestedDraw& draw : tested) {
          excess += (IsHit(draw.outcome, static_cast<HitKind>(kind)) ? 1 : 0) -
                    ChanceOf(draw.chances, static_cast<HitKind>(kind)) / 1000.0;
          if (point < course.size() && draw.drawNumber == course[point].drawNumber) {
            stayed = stayed && excess >= course[point].allLow - 1e-9 &&
                     excess <= course[point].allHigh + 1e-9;
            ++point;
          }
        }
        outside[static_cast<std::size_t>(kind)] += stayed ? 0 : 1;
      }
    }
    constexpr std::array<const char*, kHitKindCount> kNames{"straight_out", "box_out", "mini_out"};
    const double limit = 0.05 + 3 * std::sqrt(0.05 * 0.95 / kHistories);
    for (int kind = 0; kind < kHitKindCount; ++kind) {
      const double share =
          static_cast<double>(outside[static_cast<std::size_t>(kind)]) / kHistories;
      state.counters[kNames[static_cast<std::size_t>(kind)]] = share;
      if (share > limit)
        state.SkipWithError("a band holds less than 95 % of chance courses");
    }
  }
}
BENCHMARK(BM_BandCoverageOnChanceHistories)
    ->Iterations(1)
    ->Repetitions(1)
    ->Unit(benchmark::kSecond);

}  // namespace
}  // namespace kitebar
