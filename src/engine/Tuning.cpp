#include "engine/Tuning.h"

#include <algorithm>

#include "common/NumberText.h"
#include "engine/WalkForwardPredictor.h"
#include "history/DrawHistory.h"

namespace kitebar {
namespace {

constexpr int kFirstTestableDraw = 2;

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
  return tuning;
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
