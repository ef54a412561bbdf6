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

Result<Tuning> TuneSettings(const DrawHistory& history, const TuningRequest& request,
                            const SearchMonitor& monitor) {
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
  const SettingScorer scorer(training, base.diameter, base.stepNum, request.kind);
  tuning.search = SearchSettings(scorer, request.search, monitor);

  const PreparedHistory whole(history);
  const DrawRange trainRange = scorer.range();
  const DrawRange holdoutRange{request.trainTo + 1, history.count};
  HitDistribution scratch(std::max(trainRange.to, holdoutRange.to - holdoutRange.from + 1));
  const WalkForwardPredictor best(EngineSetOf(tuning.search.best), base.diameter, base.stepNum);
  const WalkForwardPredictor current(ReadSettingsType(tuning.currentSet), base.diameter,
                                     base.stepNum);
  tuning.trainBest = ResultOver(training, best, trainRange, request.kind, scratch);
  tuning.trainCurrent = ResultOver(training, current, trainRange, request.kind, scratch);
  tuning.holdoutBest = ResultOver(whole, best, holdoutRange, request.kind, scratch);
  tuning.holdoutCurrent = ResultOver(whole, current, holdoutRange, request.kind, scratch);
  return tuning;
}

Status SaveTunedSetting(int set, const SearchedSetting& best) {
  WindmillSettings settings = WindmillSettingsOf(best, LoadWindmillSettings(set));
  return UpdateWindmillSettings(set, settings);
}

}  // namespace kitebar
