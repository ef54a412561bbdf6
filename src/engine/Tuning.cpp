#include "engine/Tuning.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/NumberText.h"
#include "engine/WalkForwardPredictor.h"
#include "history/DrawHistory.h"

namespace kitebar {
namespace {

constexpr int kFirstTestableDraw = 2;
constexpr double kLevel = 0.05;
constexpr double kPower = 0.8;
constexpr double kLevelScore = 1.6448536269514722;  // P(Z >= it) = 0.05
constexpr double kPowerScore = 0.8416212335729143;  // P(Z >= it) = 0.2
constexpr int kLargestExactDraws = 100000;

// The chance that `draws` draws at `rate` give a p-value below 0.05 when
// their hits are compared with `chance` per draw.
double PowerOver(int draws, double chance, double rate, HitDistribution& scratch) {
  scratch.Reset();
  scratch.AddDraws(draws, chance);
  const int fewestUnusual = scratch.HighestWithTailAtLeast(kLevel) + 1;
  scratch.Reset();
  scratch.AddDraws(draws, rate);
  return scratch.AtLeast(fewestUnusual);
}

RangeResult ResultOver(const PreparedHistory& history, const WalkForwardPredictor& predictor,
                       DrawRange range, HitKind kind, HitDistribution& scratch) {
  const WalkTally tally = WalkDraws(history, predictor, range, PositionSource::kEstimated, nullptr);
  return {range, tally.draws, SummarizeKind(tally.kinds[static_cast<std::size_t>(kind)], scratch)};
}

bool SameRank(const RuleResult& a, const RuleResult& b) {
  return !RanksAbove(a, b) && !RanksAbove(b, a);
}

// The best class and its setting closest to `current`: the classes that
// rank first, the one whose setting changes fewest values, the lowest of
// those.
void ChooseBest(Tuning& t, const WindmillSettings& current) {
  const auto top = std::min_element(t.rules.begin(), t.rules.end(), RanksAbove);
  bool chosen = false;
  for (const RuleResult& rule : t.rules) {
    if (!SameRank(rule, *top))
      continue;
    const SettingForRule setting =
        ClosestSettingOfRule(current, t.request.kind, rule.ruleClass, t.diameter, t.stepNum);
    if (!chosen || setting.changes < t.best.changes) {
      t.bestClass = rule.ruleClass;
      t.best = setting;
      chosen = true;
    }
  }
}

}  // namespace

Status CheckTrainingEnd(int count, int trainTo) {
  const int last = count - kMinimumHoldOutDraws;
  if (last < kFirstTestableDraw) {
    return Status::Failure("設定を探すには当選番号が " +
                           FormatInt(kFirstTestableDraw + kMinimumHoldOutDraws) +
                           " 回分以上必要です（あとの " + FormatInt(kMinimumHoldOutDraws) +
                           " 回は確かめるために取っておきます）。");
  }
  if (trainTo < kFirstTestableDraw || trainTo > last) {
    return Status::Failure("学習の終わりを第 " + FormatInt(trainTo) +
                           " 回にはできません。第 2 回から第 " + FormatInt(last) +
                           " 回までにしてください（そのあとの " + FormatInt(kMinimumHoldOutDraws) +
                           " 回以上を、見つけた設定を確かめるために取っておきます）。");
  }
  return Status::Ok();
}

Result<Tuning> TuneSettings(const DrawHistory& history, const TuningRequest& request) {
  if (Status checked = CheckTrainingEnd(history.count, request.trainTo); !checked.ok())
    return checked;
  const RunSettings base = ReadRunSettings();
  Tuning tuning;
  tuning.request = request;
  tuning.count = history.count;
  tuning.currentSet = UsableSettingsTypeIndex(base.startIndex);
  tuning.stepNum = base.stepNum;
  tuning.diameter = base.diameter;

  const PreparedHistory training(history, request.trainTo);
  tuning.rules = ScoreEveryRule(training, request.kind);
  const SettingsType currentType = ReadSettingsType(tuning.currentSet);
  tuning.currentClass = RuleClassOf(request.kind, RuleOf(currentType, base.diameter, base.stepNum));
  ChooseBest(tuning, LoadWindmillSettings(tuning.currentSet));
  const RuleResult& best = tuning.rules[static_cast<std::size_t>(tuning.bestClass)];
  tuning.adjusted = AdjustPValue({request.kind, best.draws, best.summary.pValue, request.histories,
                                  kAdjustedPSeed, request.threads, request.stop});

  const PreparedHistory whole(history);
  const DrawRange trainRange{kFirstTestableDraw, training.count()};
  const DrawRange holdoutRange{request.trainTo + 1, history.count};
  HitDistribution scratch(std::max(trainRange.to, holdoutRange.to - holdoutRange.from + 1));
  const WalkForwardPredictor bestPredictor(EngineSetOf(tuning.best.setting), base.diameter,
                                           base.stepNum);
  const WalkForwardPredictor current(currentType, base.diameter, base.stepNum);
  tuning.trainBest = ResultOver(training, bestPredictor, trainRange, request.kind, scratch);
  tuning.trainCurrent = ResultOver(training, current, trainRange, request.kind, scratch);
  tuning.holdoutBest = ResultOver(whole, bestPredictor, holdoutRange, request.kind, scratch);
  tuning.holdoutCurrent = ResultOver(whole, current, holdoutRange, request.kind, scratch);
  const KindSummary& trained = tuning.trainBest.summary;
  if (tuning.holdoutBest.draws > 0 && trained.expected > 0) {
    const double chance = tuning.holdoutBest.summary.expected / tuning.holdoutBest.draws;
    tuning.holdoutDrawsNeeded =
        DrawsToShowRate(chance, std::min(1.0, chance * trained.hits / trained.expected));
  }
  return tuning;
}

int DrawsToShowRate(double chance, double rate) {
  if (!(chance > 0) || !(rate > chance))
    return 0;
  const double spread =
      kLevelScore * std::sqrt(chance * (1 - chance)) + kPowerScore * std::sqrt(rate * (1 - rate));
  const double approximate = std::ceil(spread * spread / ((rate - chance) * (rate - chance)));
  if (approximate > kLargestExactDraws)
    return approximate < std::numeric_limits<int>::max() ? static_cast<int>(approximate)
                                                         : std::numeric_limits<int>::max();
  // The power rises with the draws, but falls back a little each time the
  // hits that a p-value below 0.05 takes go up by one: the first crossing of
  // 80 %, by bisection, then on past every fall below it within a tenth more
  // draws.
  int low = 1;
  int high = static_cast<int>(approximate) * 2 + 50;
  HitDistribution scratch(high + high / 5);
  while (low < high) {
    const int middle = low + (high - low) / 2;
    if (PowerOver(middle, chance, rate, scratch) >= kPower)
      high = middle;
    else
      low = middle + 1;
  }
  for (int draws = low + 1; draws <= low + low / 10; ++draws) {
    if (PowerOver(draws, chance, rate, scratch) < kPower)
      low = draws + 1;
  }
  return low;
}

TuningEvidence WeighEvidence(const Tuning& tuning) {
  TuningEvidence evidence;
  evidence.trainingUnusual = tuning.adjusted.upperBound < kLevel;
  evidence.holdoutUnusual = tuning.holdoutBest.summary.pValue < kLevel;
  evidence.holdoutLongEnough =
      tuning.holdoutDrawsNeeded > 0 && tuning.holdoutBest.draws >= tuning.holdoutDrawsNeeded;
  evidence.supportsRule =
      evidence.trainingUnusual && (evidence.holdoutUnusual || !evidence.holdoutLongEnough);
  return evidence;
}

Status SaveSearchedSetting(int set, const SearchedSetting& setting) {
  WindmillSettings settings = WindmillSettingsOf(setting, LoadWindmillSettings(set));
  return UpdateWindmillSettings(set, settings);
}

Result<SettingForRule> SaveTunedSetting(int set, const Tuning& tuning) {
  const SettingForRule closest =
      ClosestSettingOfRule(LoadWindmillSettings(set), tuning.request.kind, tuning.bestClass,
                           tuning.diameter, tuning.stepNum);
  if (Status saved = SaveSearchedSetting(set, closest.setting); !saved.ok())
    return saved;
  return closest;
}

}  // namespace kitebar
