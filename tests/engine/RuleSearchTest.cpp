#include "engine/RuleSearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "common/NumberText.h"
#include "engine/AdjustedPValue.h"
#include "engine/Tuning.h"
#include "history/DrawHistory.h"
#include "history/ResultsCsv.h"
#include "support/CaseNames.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::ReadFileBytes;
using test::TempWorkingDirectory;
using test::WriteFileBytes;

constexpr int kTrainTo = 3000;

// The real history in a folder of its own, with a step value and diameter
// other than the defaults and a prediction set of its own.
class RealHistory : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFileBytes("base.ini", "[StepNum]\nnum=47\n[Diameter]\nf=33.3\n[StartIndex]\nindex=2\n");
    WriteFileBytes("type3.ini", "[EndPoint]\nnum=105\n[Toutatu2]\nf=3.50\n[SpeedRate4]\nnum=4\n");
    ASSERT_TRUE(MergeResultsCsv(history_, ReadFileBytes(KITEBAR_SAMPLE_CSV)).ok());
  }

  TempWorkingDirectory folder_;
  DrawHistory history_;
};

void ExpectSameTuning(const Tuning& actual, const Tuning& expected) {
  ASSERT_EQ(actual.rules.size(), expected.rules.size());
  for (std::size_t rule = 0; rule < actual.rules.size(); ++rule) {
    EXPECT_EQ(actual.rules[rule].summary.hits, expected.rules[rule].summary.hits) << rule;
    EXPECT_EQ(actual.rules[rule].summary.pValue, expected.rules[rule].summary.pValue) << rule;
  }
  EXPECT_EQ(actual.bestClass, expected.bestClass);
  EXPECT_EQ(actual.best.setting, expected.best.setting);
  EXPECT_EQ(actual.adjusted.p, expected.adjusted.p);
}

// The same tuning, adjusted p-value included, for every thread count and
// kind.
struct ThreadCase {
  HitKind kind;
  int threads;
};

class TuningThreads : public RealHistory, public ::testing::WithParamInterface<ThreadCase> {};

TEST_P(TuningThreads, GiveTheResultOfOneThread) {
  TuningRequest request;
  request.trainTo = kTrainTo;
  request.kind = GetParam().kind;
  request.histories = 1000;
  const Result<Tuning> alone = TuneSettings(history_, request);
  request.threads = GetParam().threads;
  const Result<Tuning> together = TuneSettings(history_, request);
  ASSERT_TRUE(alone.ok() && together.ok());
  ExpectSameTuning(*together, *alone);
  EXPECT_EQ(alone->rules.size(), GetParam().kind == HitKind::kMini ? 10u : 100u);
  // The best ranks first: no class has a smaller p-value.
  const double bestP = alone->rules[static_cast<std::size_t>(alone->bestClass)].summary.pValue;
  for (const RuleResult& rule : alone->rules)
    EXPECT_GE(rule.summary.pValue, bestP);
}

INSTANTIATE_TEST_SUITE_P(Cases, TuningThreads,
                         ::testing::Values(ThreadCase{HitKind::kStraight, 2},
                                           ThreadCase{HitKind::kBox, 3},
                                           ThreadCase{HitKind::kMini, 8}),
                         [](const ::testing::TestParamInfo<ThreadCase>& info) {
                           return test::CaseName(
                               "kind " + std::to_string(static_cast<int>(info.param.kind)) +
                                   " threads " + std::to_string(info.param.threads),
                               info.index);
                         });

// Whatever happens after the training draws, the search finds the same:
// it is not given those draws.
enum class HoldOutChange { kOtherNumbers, kAllZero, kDecidedPositions };

std::string NameOf(HoldOutChange change) {
  switch (change) {
    case HoldOutChange::kOtherNumbers:
      return "OtherNumbers";
    case HoldOutChange::kAllZero:
      return "AllZero";
    default:
      return "DecidedPositions";
  }
}

class HoldOut : public RealHistory, public ::testing::WithParamInterface<HoldOutChange> {};

TEST_P(HoldOut, IsNeverLookedAtWhileSearching) {
  TuningRequest request;
  request.trainTo = kTrainTo;
  request.histories = 200;
  const Result<Tuning> before = TuneSettings(history_, request);
  ASSERT_TRUE(before.ok()) << before.message();
  for (int n = kTrainTo + 1; n <= history_.count; ++n) {
    const std::string digits(history_.record(n).digitsText());
    switch (GetParam()) {
      case HoldOutChange::kOtherNumbers:
        ASSERT_TRUE(history_.SetDigits(n, FormatZeroPadded((std::stoi(digits) + 7) % 1000, 3)));
        break;
      case HoldOutChange::kAllZero:
        ASSERT_TRUE(history_.SetDigits(n, "000"));
        break;
      case HoldOutChange::kDecidedPositions:
        ASSERT_TRUE(history_.SetPosition(n, digits, '1'));
        break;
    }
  }
  const Result<Tuning> after = TuneSettings(history_, request);
  ASSERT_TRUE(after.ok()) << after.message();
  ExpectSameTuning(*after, *before);
  EXPECT_EQ(after->trainBest.summary.hits, before->trainBest.summary.hits);
  EXPECT_EQ(after->trainCurrent.summary.hits, before->trainCurrent.summary.hits);
  if (GetParam() != HoldOutChange::kDecidedPositions) {
    EXPECT_NE(after->holdoutCurrent.summary.expected, before->holdoutCurrent.summary.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(Changes, HoldOut,
                         ::testing::Values(HoldOutChange::kOtherNumbers, HoldOutChange::kAllZero,
                                           HoldOutChange::kDecidedPositions),
                         [](const ::testing::TestParamInfo<HoldOutChange>& info) {
                           return NameOf(info.param);
                         });

// Settings on the bounds of the dialog's ranges and between them, saved into
// a set whose thousands values are its own.
SearchedSetting SettingOf(std::array<std::int16_t, kSearchedValueCount> values) {
  return SearchedSetting{values};
}

class SavedSetting : public RealHistory, public ::testing::WithParamInterface<SearchedSetting> {};

TEST_P(SavedSetting, ReadsBackAndScoresAsSearched) {
  constexpr int kSet = 3;
  WriteFileBytes("type4.ini",
                 "[Toutatu1]\r\nf=3.33\r\n[Tekicyuten1]\r\nf=14.44\r\n[SpeedRate1]\r\nnum=4\r\n");
  const SearchedSetting& setting = GetParam();
  ASSERT_TRUE(SaveSearchedSetting(kSet, setting).ok());

  const SettingsType read = ReadSettingsType(kSet);
  const SettingsType searched = EngineSetOf(setting);
  EXPECT_EQ(std::string(read.stopConstant.data()), std::string(searched.stopConstant.data()));
  for (int place = kHundreds; place <= kUnits; ++place) {
    EXPECT_EQ(read.startToReach[place], searched.startToReach[place]) << place;
    EXPECT_EQ(read.startToHit[place], searched.startToHit[place]) << place;
    EXPECT_EQ(read.speedOffset[place], searched.speedOffset[place]) << place;
  }
  EXPECT_EQ(read.startToReach[kThousands], 3.33f);
  EXPECT_EQ(read.startToHit[kThousands], 14.44f);
  EXPECT_EQ(read.speedOffset[kThousands], 2);

  // The set read back scores as its rule does.
  const PreparedHistory training(history_, kTrainTo);
  const RunSettings base = ReadRunSettings();
  const KindScore fromFile =
      ScoreDraws(training, WalkForwardPredictor(read, base.diameter, base.stepNum), {2, kTrainTo},
                 PositionSource::kEstimated, HitKind::kBox);
  const std::vector<RuleResult> rules = ScoreEveryRule(training, HitKind::kBox);
  const RuleResult& rule =
      rules[static_cast<std::size_t>(RuleOf(searched, base.diameter, base.stepNum))];
  EXPECT_EQ(fromFile.hits, rule.summary.hits);
  EXPECT_NEAR(fromFile.Expected(), rule.summary.expected, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, SavedSetting,
    ::testing::Values(SettingOf({0, 0, 0, 0, 0, 0, 1000, 1000, 1000, 0, 0, 0}),
                      SettingOf({9, 9, 9, 500, 500, 500, 1500, 1500, 1500, 4, 4, 4}),
                      SettingOf({1, 0, 5, 7, 115, 435, 1005, 1455, 1267, 1, 2, 3}),
                      SettingOf({4, 8, 2, 268, 99, 1, 1499, 1001, 1350, 3, 0, 4}),
                      RandomSetting(11, 0), RandomSetting(11, 1), RandomSetting(12, 99)),
    [](const ::testing::TestParamInfo<SearchedSetting>& info) {
      std::string values;
      for (const std::int16_t value : info.param.values)
        values += std::to_string(value) + " ";
      return test::CaseName(values, info.index);
    });

// Every point the search may try is written as its own two decimals, so the
// page shows what the file holds.
TEST(SearchedPoints, AreWrittenAtTheirOwnTwoDecimals) {
  for (const SearchedKind kind : {SearchedKind::kReachPoint, SearchedKind::kHitPoint}) {
    const SearchedRange& range = kSearchedRanges[static_cast<std::size_t>(kind)];
    for (int hundredths = range.low; hundredths <= range.high; ++hundredths) {
      SearchedSetting setting;
      setting.values[static_cast<std::size_t>(static_cast<int>(kind) * kPlacesPerTriple)] =
          static_cast<std::int16_t>(hundredths);
      const WindmillSettings settings = WindmillSettingsOf(setting, WindmillSettings{});
      const float point = kind == SearchedKind::kReachPoint ? settings.startToReach[kHundreds]
                                                            : settings.startToHit[kHundreds];
      ASSERT_EQ(PointText(point),
                FormatInt(hundredths / 100) + "." + FormatZeroPadded(hundredths % 100, 2));
    }
  }
}

// Settings drawn from the search's ranges and settings no dialog would
// write (a stop constant of letters, points out of range, odd diameters):
// after every previous winning number each offers its rule added to the
// number's step code, and together they show all 100 rules.
TEST(RuleReduction, EverySettingOffersItsRuleAfterEveryNumber) {
  std::vector<SettingsType> sets;
  for (int n = 0; n < 3000; ++n)
    sets.push_back(EngineSetOf(RandomSetting(2024, n)));
  SettingsType odd = EngineSetOf(RandomSetting(7, 0));
  odd.stopConstant = {'a', '7', 'x', 0};
  odd.startToReach[kTens] = 7.5f;
  sets.push_back(odd);
  odd.startToHit[kHundreds] = 9.0f;
  odd.speedOffset[kUnits] = 9;
  sets.push_back(odd);
  std::set<int> rules;
  for (const float diameter : {30.0f, 33.3f, 11.0f}) {
    for (std::size_t at = 0; at < sets.size(); at += diameter == 30.0f ? 1 : 97) {
      const SettingsType& set = sets[at];
      const int rule = RuleOf(set, diameter, 47);
      rules.insert(rule);
      const WalkForwardPredictor predictor(set, diameter, 47);
      for (int previous = 0; previous < kNumberCount; ++previous) {
        const DigitTriple digits{static_cast<std::uint8_t>(previous / 100),
                                 static_cast<std::uint8_t>(previous / 10 % 10),
                                 static_cast<std::uint8_t>(previous % 10)};
        ASSERT_EQ(CandidateSets::Get().Code(predictor.KeyFromPreviousWinning(digits)).stepCode,
                  AddStepCodes(StepCodeOfNumber(previous), rule))
            << "set " << at << " previous " << previous;
      }
    }
  }
  EXPECT_EQ(rules.size(), static_cast<std::size_t>(kRuleCount));
}

// Every sampled setting scores exactly as its rule class, so none beats the
// exhaustive best.
class ExhaustiveSearch : public RealHistory, public ::testing::WithParamInterface<HitKind> {};

TEST_P(ExhaustiveSearch, EqualsABruteForceScanOfSampledSettings) {
  const HitKind kind = GetParam();
  const PreparedHistory training(history_, kTrainTo);
  const RunSettings base = ReadRunSettings();
  const std::vector<RuleResult> rules = ScoreEveryRule(training, kind);
  ASSERT_EQ(rules.size(), static_cast<std::size_t>(RuleClassCount(kind)));
  const RuleResult& best = *std::min_element(rules.begin(), rules.end(), RanksAbove);
  HitDistribution scratch(kTrainTo);
  for (int n = 0; n < 400; ++n) {
    const SettingsType set = EngineSetOf(RandomSetting(99, n));
    const WalkForwardPredictor predictor(set, base.diameter, base.stepNum);
    const WalkTally tally =
        WalkDraws(training, predictor, {2, kTrainTo}, PositionSource::kEstimated, nullptr);
    const KindSummary scanned = SummarizeKind(tally.kinds[static_cast<std::size_t>(kind)], scratch);
    const RuleResult& rule = rules[static_cast<std::size_t>(
        RuleClassOf(kind, RuleOf(set, base.diameter, base.stepNum)))];
    ASSERT_EQ(scanned.hits, rule.summary.hits) << n;
    ASSERT_NEAR(scanned.expected, rule.summary.expected, 1e-9) << n;
    ASSERT_NEAR(scanned.pValue, rule.summary.pValue, 1e-12) << n;
    ASSERT_GE(scanned.pValue, best.summary.pValue - 1e-12) << n;
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, ExhaustiveSearch,
                         ::testing::Values(HitKind::kStraight, HitKind::kBox, HitKind::kMini),
                         [](const ::testing::TestParamInfo<HitKind>& info) {
                           return std::string(std::array{
                               "Straight", "Box", "Mini"}[static_cast<std::size_t>(info.param)]);
                         });

// Every class is reached from a set as the dialog stores it, its own class
// without a change, any other with at most two stop digits changed (and the
// values that had to come into range).
struct ClosestCase {
  const char* name;
  HitKind kind;
  const char* stopConstant;
  float reach;
  int forced;  // changes needed to bring the set into range
};

class ClosestSetting : public ::testing::TestWithParam<ClosestCase> {};

TEST_P(ClosestSetting, GivesEveryClassWithTheFewestChanges) {
  const ClosestCase& c = GetParam();
  WindmillSettings base = DefaultWindmillSettings();
  base.stopConstant = c.stopConstant;
  base.startToReach[kTens] = c.reach;
  const int own = RuleClassOf(c.kind, RuleOf(EngineSetOf(SearchedSettingOf(base)), 33.3f, 47));
  for (int ruleClass = 0; ruleClass < RuleClassCount(c.kind); ++ruleClass) {
    const SettingForRule closest = ClosestSettingOfRule(base, c.kind, ruleClass, 33.3f, 47);
    ASSERT_EQ(RuleClassOf(c.kind, RuleOf(EngineSetOf(closest.setting), 33.3f, 47)), ruleClass);
    EXPECT_EQ(closest.changes, ChangedValues(closest.setting, base));
    const int most = ruleClass == own ? c.forced : c.forced + (c.kind == HitKind::kMini ? 1 : 2);
    EXPECT_LE(closest.changes, most) << ruleClass;
    EXPECT_GE(closest.changes, c.forced == 0 && ruleClass != own ? 1 : c.forced) << ruleClass;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Bases, ClosestSetting,
    ::testing::Values(ClosestCase{"DefaultBox", HitKind::kBox, "238", 1.26f, 0},
                      ClosestCase{"DefaultMini", HitKind::kMini, "238", 1.26f, 0},
                      ClosestCase{"LettersStraight", HitKind::kStraight, "a9", 1.26f, 2},
                      ClosestCase{"ReachOutOfRange", HitKind::kBox, "105", 7.5f, 1}),
    [](const ::testing::TestParamInfo<ClosestCase>& info) { return std::string(info.param.name); });

// A stop asked for before the simulation, or before the exact value is
// given, leaves no adjusted p-value.
TEST(AdjustedPStop, BeforeTheStartLeavesItStopped) {
  const std::atomic<bool> stop{true};
  for (const HitKind kind : {HitKind::kStraight, HitKind::kBox, HitKind::kMini}) {
    const AdjustedP adjusted = AdjustPValue({kind, 500, 0.01, 1000, 1, 2, &stop});
    EXPECT_TRUE(adjusted.stopped);
    EXPECT_EQ(adjusted.histories, 0);
  }
}

// P(X >= hits) for X binomial, summed term by term from the logarithms
// until the terms no longer count.
double PlainTail(int draws, double chance, int hits) {
  double tail = 0;
  for (int k = std::max(hits, 0); k <= draws; ++k) {
    const double term =
        std::exp(std::lgamma(draws + 1.0) - std::lgamma(k + 1.0) - std::lgamma(draws - k + 1.0) +
                 k * std::log(chance) + (draws - k) * std::log1p(-chance));
    tail += term;
    if (k > draws * chance && term < tail * 1e-17)
      break;
  }
  return tail;
}

// The chance that `draws` draws at `rate` give a p-value below 0.05 against
// `chance`, the plain way.
double PlainPower(int draws, double chance, double rate) {
  auto fewestUnusual = static_cast<int>(draws * chance);
  while (PlainTail(draws, chance, fewestUnusual) >= 0.05)
    ++fewestUnusual;
  return PlainTail(draws, rate, fewestUnusual);
}

// The hold-out draws that show a rate: the power is 80 % or more at the
// draws found and a tenth beyond, and below it one draw fewer. A rate at or
// below chance needs none.
struct RateCase {
  const char* name;
  double chance;
  double rate;
};

class DrawsToShow : public ::testing::TestWithParam<RateCase> {};

TEST_P(DrawsToShow, GiveEightyPercentPower) {
  const RateCase& c = GetParam();
  const int draws = DrawsToShowRate(c.chance, c.rate);
  if (c.rate <= c.chance) {
    EXPECT_EQ(draws, 0);
    return;
  }
  for (const int more : {0, draws / 20, draws / 10})
    EXPECT_GE(PlainPower(draws + more, c.chance, c.rate), 0.8) << draws + more;
  EXPECT_LT(PlainPower(draws - 1, c.chance, c.rate), 0.8) << draws - 1;
}

INSTANTIATE_TEST_SUITE_P(Rates, DrawsToShow,
                         ::testing::Values(RateCase{"StraightThreeTimes", 0.01, 0.028},
                                           RateCase{"BoxTenPercentMore", 0.0414, 0.0455},
                                           RateCase{"MiniDouble", 0.1, 0.2},
                                           RateCase{"AtChance", 0.01, 0.01},
                                           RateCase{"BelowChance", 0.1, 0.05}),
                         [](const ::testing::TestParamInfo<RateCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace kitebar
