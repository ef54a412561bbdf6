#pragma once

#include <vector>

#include "engine/Evaluation.h"
#include "engine/PreparedHistory.h"
#include "engine/SearchSpace.h"
#include "settings/SettingsUpdates.h"

namespace kitebar {

// Every setting offers, after a previous winning number p, the candidate set
// whose step code is p's step code plus a code of the setting's own, digit by
// digit modulo 10: each place's sector moves by its stop digit plus twice its
// speed offset and hit shift, and only the steps between places reach the
// step code. That code, the set offered after 000, is the setting's rule, so
// the 100 rules are every behaviour there is. A mini looks at the tens-to-units
// step alone, so for it the rules fall into ten classes: their units.
inline constexpr int kRuleCount = kStepCodeCount;

int RuleClassCount(HitKind kind);
// The class that `kind` tells `rule` by: the rule itself, or its units.
int RuleClassOf(HitKind kind, int rule);
// Digit by digit modulo 10.
int AddStepCodes(int a, int b);
int SubtractStepCodes(int a, int b);

// The rule of a set as the engine reads it, with "./base.ini"'s diameter and
// step value.
int RuleOf(const SettingsType& set, float diameter, int stepNum);

// One rule class over the training draws, summed up as the evaluation does.
struct RuleResult {
  int ruleClass = 0;
  int draws = 0;
  KindSummary summary;
};

// Scores every rule class of `kind` once, exactly, over draws 2 to the last
// draw of `training`, each draw predicted from the winning number of the draw
// before: what ScoreDraws gives for any setting of that class.
std::vector<RuleResult> ScoreEveryRule(const PreparedHistory& training, HitKind kind);

// The order of the search: the smaller p-value first (for straight and mini,
// where every draw has the same chance, that is the most hits), then the
// most hits. Ties are left to the caller.
bool RanksAbove(const RuleResult& a, const RuleResult& b);

// `settings` as a setting of the search: every value brought into the range
// the dialog accepts, a stop character that is not a digit read as 0.
SearchedSetting SearchedSettingOf(const WindmillSettings& settings);

// How many of the twelve searched values of `setting` differ from those of
// `settings` as stored.
int ChangedValues(const SearchedSetting& setting, const WindmillSettings& settings);

struct SettingForRule {
  SearchedSetting setting;
  int changes = 0;  // values that differ from the base as stored
};

// The setting that gives a rule of class `ruleClass` with the fewest values
// changed from `base`: `base` within the dialog's ranges with stop digits
// changed (a stop digit moves its place's sector to any of the ten), the
// first such setting in the order of the stop digits among those with the
// fewest changes.
SettingForRule ClosestSettingOfRule(const WindmillSettings& base, HitKind kind, int ruleClass,
                                    float diameter, int stepNum);

}  // namespace kitebar
