#include "engine/Evaluation.h"

#include <algorithm>
#include <optional>
#include <thread>

#include "common/NumberText.h"
#include "engine/SimultaneousBand.h"
#include "engine/WindmillSimulator.h"
#include "history/DrawHistory.h"

namespace kitebar {
namespace {

constexpr int kFirstTestableDraw = 2;
constexpr double kLowerTail = 0.025;
constexpr double kUpperTail = 0.975;
// The verdict's level: a count is unusual when its p-value is below it.
constexpr double kBoundTail = 0.05;

std::string DrawName(int drawNumber) {
  return "第 " + FormatInt(drawNumber) + " 回";
}

double Thousandths(std::int64_t value) {
  return static_cast<double>(value) / kChanceDenominator;
}

// The set that `predictor` offers after each winning number, by step code.
std::vector<std::uint8_t> SetsAfterNumbers(const WalkForwardPredictor& predictor) {
  std::vector<std::uint8_t> sets(kNumberCount);
  for (int number = 0; number < kNumberCount; ++number) {
    const DigitTriple digits{static_cast<std::uint8_t>(number / 100),
                             static_cast<std::uint8_t>(number / 10 % 10),
                             static_cast<std::uint8_t>(number % 10)};
    sets[static_cast<std::size_t>(number)] =
        CandidateSets::Get().Code(predictor.KeyFromPreviousWinning(digits)).stepCode;
  }
  return sets;
}

std::vector<ProcessDraw> ProcessDrawsOf(const std::vector<TestedDraw>& tested) {
  std::vector<ProcessDraw> draws;
  draws.reserve(tested.size());
  for (std::size_t at = 0; at < tested.size(); ++at) {
    const TestedDraw& draw = tested[at];
    draws.push_back(
        {draw.fromStoredPosition ? CandidateSets::Get().Code(draw.candidateKey).stepCode : -1,
         at > 0 && tested[at - 1].drawNumber == draw.drawNumber - 1});
  }
  return draws;
}

int BandThreads() {
  return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

// The course of one kind, sampled at evenly spread tested draws: the
// distribution is carried forward draw by draw, so each point's range is
// that of the draws up to it. Straight and mini hit with one chance on every
// draw whatever came before, so their hits are independent and the exact
// stretches of SimultaneousBand make the whole-course band; a box's chance
// follows from the number before, on which the box hit of the draw before
// depends too, so its band is simulated on the draw process (ProcessBand)
// when the predictor that offered the sets is given.
std::vector<CoursePoint> CourseOf(const std::vector<TestedDraw>& tested, HitKind kind,
                                  const WalkForwardPredictor* predictor,
                                  HitDistribution& distribution) {
  std::vector<CoursePoint> course;
  const auto count = static_cast<int>(tested.size());
  if (count == 0)
    return course;
  const int step = (count + kCoursePoints - 1) / kCoursePoints;
  course.reserve(static_cast<std::size_t>(count / step + 1));
  std::vector<int> chances;
  chances.reserve(tested.size());
  std::vector<int> pointAfter;
  std::vector<double> means;
  distribution.Reset();
  int hits = 0;
  std::int64_t expected = 0;
  for (int i = 0; i < count; ++i) {
    const TestedDraw& draw = tested[static_cast<std::size_t>(i)];
    const int chance = ChanceOf(draw.chances, kind);
    chances.push_back(chance);
    distribution.AddDraw(Thousandths(chance));
    hits += IsHit(draw.outcome, kind) ? 1 : 0;
    expected += chance;
    if ((i + 1) % step != 0 && i != count - 1)
      continue;
    const double mean = Thousandths(expected);
    pointAfter.push_back(i);
    course.push_back({draw.drawNumber, hits - mean, distribution.Quantile(kLowerTail) - mean,
                      distribution.Quantile(kUpperTail) - mean});
  }
  if (kind == HitKind::kBox && predictor != nullptr) {
    const std::vector<ExcessRange> band = ProcessBand(
        kind, SetsAfterNumbers(*predictor), ProcessDrawsOf(tested), pointAfter, BandThreads());
    for (std::size_t point = 0; point < course.size(); ++point) {
      course[point].allLow = band[point].low;
      course[point].allHigh = band[point].high;
    }
    return course;
  }
  const std::vector<HitsRange> band = SimultaneousBand(chances, pointAfter, BandThreads());
  expected = 0;
  std::size_t point = 0;
  for (int i = 0; i < count && point < course.size(); ++i) {
    expected += chances[static_cast<std::size_t>(i)];
    if (i != pointAfter[point])
      continue;
    const double mean = Thousandths(expected);
    course[point].allLow = band[point].low - mean;
    course[point].allHigh = band[point].high - mean;
    ++point;
  }
  return course;
}

// The step codes of the candidates offered on each tested draw.
std::vector<std::uint8_t> OfferedSets(const std::vector<TestedDraw>& tested) {
  std::vector<std::uint8_t> codes;
  codes.reserve(tested.size());
  for (const TestedDraw& draw : tested)
    codes.push_back(CandidateSets::Get().Code(draw.candidateKey).stepCode);
  return codes;
}

}  // namespace

Status CheckEvaluationRange(int count, int from, int to) {
  if (count < kFirstTestableDraw) {
    return Status::Failure(
        "成績を検証するには当選番号が 2 回分以上必要です。当選番号を登録してから、もう一度実行して"
        "ください。");
  }
  if (from < kFirstTestableDraw || to > count) {
    return Status::Failure(DrawName(from) + "から" + DrawName(to) +
                           "までは検証できません。検証できるのは第 2 回から" + DrawName(count) +
                           "までです。");
  }
  if (from > to) {
    return Status::Failure("検証の始めの" + DrawName(from) + "が終わりの" + DrawName(to) +
                           "より後になっています。始めを終わり以前の回にしてください。");
  }
  return Status::Ok();
}

KindSummary SummarizeKind(const KindTally& tally, HitDistribution& scratch) {
  scratch.Reset();
  // Draws sharing a chance form one binomial: a few dozen groups instead of
  // thousands of single draws.
  for (int chance = 1; chance <= kChanceDenominator; ++chance) {
    const int draws = tally.drawsAtChance[static_cast<std::size_t>(chance)];
    if (draws > 0)
      scratch.AddDraws(draws, Thousandths(chance));
  }
  return {tally.hits,
          Thousandths(tally.chanceThousandths),
          scratch.AtLeast(tally.hits),
          scratch.Quantile(kLowerTail),
          scratch.Quantile(kUpperTail),
          scratch.HighestWithTailAtLeast(kBoundTail)};
}

Result<Evaluation> EvaluateHistory(const DrawHistory& history, const EvaluationRequest& request) {
  const int from = request.from != 0 ? request.from : kFirstTestableDraw;
  const int to = request.to != 0 ? request.to : history.count;
  if (Status checked = CheckEvaluationRange(history.count, from, to); !checked.ok())
    return checked;
  const RunSettings base = ReadRunSettings();
  Evaluation evaluation;
  evaluation.range = {from, to};
  evaluation.positions = request.positions;
  evaluation.settingsType = request.settingsType >= 0
                                ? UsableSettingsTypeIndex(request.settingsType)
                                : UsableSettingsTypeIndex(base.startIndex);
  const PreparedHistory prepared(history);
  const int rangeSize = to - from + 1;
  std::vector<TestedDraw> chosenTested;
  std::optional<WalkForwardPredictor> chosenPredictor;
  std::vector<TestedDraw> tested;
  tested.reserve(static_cast<std::size_t>(rangeSize));
  HitDistribution scratch(history.count);
  std::array<std::vector<std::uint8_t>, kSettingsTypeCount> offered;
  for (int set = 0; set < kSettingsTypeCount; ++set) {
    const bool chosen = set == evaluation.settingsType;
    const WalkForwardPredictor predictor(ReadSettingsType(set), base.diameter, base.stepNum);
    tested.clear();
    const WalkTally tally =
        WalkDraws(prepared, predictor, evaluation.range, request.positions, &tested);
    offered[static_cast<std::size_t>(set)] = OfferedSets(tested);
    KindSummaries& summaries = evaluation.sets[static_cast<std::size_t>(set)];
    for (int kind = 0; kind < kHitKindCount; ++kind) {
      summaries[static_cast<std::size_t>(kind)] =
          SummarizeKind(tally.kinds[static_cast<std::size_t>(kind)], scratch);
    }
    evaluation.sameAs[static_cast<std::size_t>(set)] = set;
    for (int earlier = 0; earlier < set; ++earlier) {
      if (offered[static_cast<std::size_t>(earlier)] == offered[static_cast<std::size_t>(set)]) {
        evaluation.sameAs[static_cast<std::size_t>(set)] = earlier;
        break;
      }
    }
    if (!chosen)
      continue;
    chosenTested = tested;
    chosenPredictor = predictor;
    evaluation.kinds = summaries;
    evaluation.draws = tally.draws;
    evaluation.skipped = tally.skipped;
    evaluation.storedPositions = tally.storedPositions;
    evaluation.decidedPositions = tally.decidedPositions;
    if (from != kFirstTestableDraw || to != history.count) {
      evaluation.wholeHistoryShown = true;
      evaluation.wholeRange = {kFirstTestableDraw, history.count};
      const WalkTally whole =
          WalkDraws(prepared, predictor, evaluation.wholeRange, request.positions, nullptr);
      for (int kind = 0; kind < kHitKindCount; ++kind) {
        evaluation.whole[static_cast<std::size_t>(kind)] =
            SummarizeKind(whole.kinds[static_cast<std::size_t>(kind)], scratch);
      }
    }
  }
  for (int kind = 0; kind < kHitKindCount; ++kind) {
    evaluation.courses[static_cast<std::size_t>(kind)] =
        CourseOf(chosenTested, static_cast<HitKind>(kind), &*chosenPredictor, scratch);
  }
  return evaluation;
}

std::vector<CoursePoint> CourseOfTestedDraws(const std::vector<TestedDraw>& tested, HitKind kind) {
  HitDistribution scratch(std::max<int>(1, static_cast<int>(tested.size())));
  return CourseOf(tested, kind, nullptr, scratch);
}

}  // namespace kitebar
