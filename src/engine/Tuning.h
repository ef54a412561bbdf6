#pragma once

#include <atomic>
#include <vector>

#include "common/Status.h"
#include "engine/AdjustedPValue.h"
#include "engine/Evaluation.h"
#include "engine/RuleSearch.h"

namespace kitebar {

class DrawHistory;

// The draws after the training draws that a tuning keeps back to test its
// best rule on: at least this many.
inline constexpr int kMinimumHoldOutDraws = 100;

// Refuses, with a message for the user, a training end outside 2 to
// count - kMinimumHoldOutDraws.
Status CheckTrainingEnd(int count, int trainTo);

struct TuningRequest {
  int trainTo = 0;  // the last training draw
  HitKind kind = HitKind::kBox;
  int threads = 1;  // for the simulated histories of the adjusted p-value
  int histories = kAdjustedPHistories;
  const std::atomic<bool>* stop = nullptr;
};

// One setting's result for the tuned kind over a range of draws, summed up
// as the evaluation does.
struct RangeResult {
  DrawRange range;
  int draws = 0;  // tested
  KindSummary summary;
};

struct Tuning {
  TuningRequest request;
  int count = 0;       // the last draw of the hold-out
  int currentSet = 0;  // the set of the prediction run, 0 to 4
  // From "./base.ini", shared by every rule.
  int stepNum = 0;
  float diameter = 0;
  // Every rule class of the kind on the training draws, in class order.
  std::vector<RuleResult> rules;
  int bestClass = 0;
  int currentClass = 0;
  // The setting of the best class with the fewest values changed from the
  // current set.
  SettingForRule best;
  // The chance that the best of the classes does at least as well on a
  // history of chance alone.
  AdjustedP adjusted;
  RangeResult trainBest;
  RangeResult trainCurrent;
  RangeResult holdoutBest;
  RangeResult holdoutCurrent;
  // The hold-out draws it takes to see the best rule's training rate
  // against chance (DrawsToShowRate at the hold-out's chance); 0 when the
  // rule did no better than chance in training.
  int holdoutDrawsNeeded = 0;
};

// The draws it takes, at `chance` per draw, for a rate of `rate` per draw
// to show: a p-value below 0.05 (one-sided, exact binomial) in 80 % of
// histories, from these draws on (the power falls back a little at each
// step of the critical count; it is looked at up to a tenth further). 0
// when `rate` is not above `chance`. Exact up to 100,000 draws, from the
// normal approximation beyond.
int DrawsToShowRate(double chance, double rate);

// What the training and the hold-out say together of the best rule.
struct TuningEvidence {
  // The adjusted p-value below 0.05, its 95 % upper bound too when it was
  // simulated.
  bool trainingUnusual = false;
  bool holdoutUnusual = false;  // the hold-out p-value below 0.05
  // As many hold-out draws as it takes to see the training rate.
  bool holdoutLongEnough = false;
  // Unusual in training and not refuted by a hold-out long enough to see it.
  bool supportsRule = false;
};
TuningEvidence WeighEvidence(const Tuning& tuning);

// Scores every rule class on draws 2 to `trainTo` (given those draws alone),
// takes the best (RanksAbove, then the fewest values changed from the
// current set, then the lowest class), prices the choice with the adjusted
// p-value, then tests the best and the set of the prediction run on the
// draws after `trainTo`, the hold-out. Reads the settings files, writes
// nothing. Fails only on a refused training end; a stop leaves
// `adjusted.stopped` set.
Result<Tuning> TuneSettings(const DrawHistory& history, const TuningRequest& request);

// Saves `setting` into set `set` (0 to 4) through the settings dialog's
// writer, in one replacement: the set's thousands values stay as the dialog
// reads them.
Status SaveSearchedSetting(int set, const SearchedSetting& setting);

// Saves the setting of the best class with the fewest values changed from
// set `set` (0 to 4) into that set through the settings dialog's writer, in
// one replacement (SaveSearchedSetting).
Result<SettingForRule> SaveTunedSetting(int set, const Tuning& tuning);

}  // namespace kitebar
