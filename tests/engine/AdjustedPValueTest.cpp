#include "engine/AdjustedPValue.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "engine/RandomStream.h"
#include "engine/RuleSearch.h"
#include "engine/SimultaneousBand.h"
#include "engine/WalkForwardPredictor.h"
#include "settings/SettingsFiles.h"
#include "support/CaseNames.h"

namespace kitebar {
namespace {

// The best class's p-value on one history, the plain way: every class
// scored draw by draw and summed up exactly (a class without hits has 1).
double BestPOfHistory(HitKind kind, const std::vector<int>& numbers, HitDistribution& scratch) {
  const CandidateSets& sets = CandidateSets::Get();
  static const std::vector<WinningShape> shapes = [] {
    std::vector<WinningShape> all;
    for (int number = 0; number < kNumberCount; ++number)
      all.push_back(WinningShapeOf(number));
    return all;
  }();
  const int classes = RuleClassCount(kind);
  static std::vector<int> previousCodes;
  previousCodes.clear();
  for (const int number : numbers)
    previousCodes.push_back(StepCodeOfNumber(number));
  const auto setOf = [](int previousCode, int rule) {
    const int code = AddStepCodes(previousCode, rule);
    return SetCode{static_cast<std::uint8_t>(code), static_cast<std::uint8_t>(code % 10)};
  };
  double best = 1;
  for (int rule = 0; rule < classes; ++rule) {
    int hits = 0;
    for (std::size_t n = 1; n < numbers.size(); ++n)
      hits += IsHit(
          Compare(setOf(previousCodes[n - 1], rule), shapes[static_cast<std::size_t>(numbers[n])]),
          kind);
    if (hits == 0)
      continue;
    static KindTally tally;
    tally = KindTally{};
    tally.hits = hits;
    for (std::size_t n = 1; n < numbers.size(); ++n) {
      const int chance = ChanceOf(sets.Chances(setOf(previousCodes[n - 1], rule).stepCode), kind);
      tally.chanceThousandths += chance;
      ++tally.drawsAtChance[static_cast<std::size_t>(chance)];
    }
    best = std::min(best, SummarizeKind(tally, scratch).pValue);
  }
  return best;
}

struct TinyCase {
  const char* name;
  HitKind kind;
  int testedDraws;
  int numbersPerDraw;  // the numbers 0 to this - 1 are every history that matters
  double observedP;
};

class AdjustedPTiny : public ::testing::TestWithParam<TinyCase> {};

// Every history of the case enumerated, each judged the plain way, against
// the simulation: within four standard errors. Numbers below 100 are
// enough for a mini, which never looks at the hundreds.
TEST_P(AdjustedPTiny, MatchesExactEnumeration) {
  const TinyCase& c = GetParam();
  const int draws = c.testedDraws + 1;
  std::vector<int> numbers(static_cast<std::size_t>(draws));
  const long long histories = static_cast<long long>(std::pow(c.numbersPerDraw, draws));
  long long reached = 0;
  HitDistribution scratch(draws);
  for (long long history = 0; history < histories; ++history) {
    long long rest = history;
    for (int& number : numbers) {
      number = static_cast<int>(rest % c.numbersPerDraw);
      rest /= c.numbersPerDraw;
    }
    reached += BestPOfHistory(c.kind, numbers, scratch) <= c.observedP * (1 + 1e-9) ? 1 : 0;
  }
  const double exact = static_cast<double>(reached) / static_cast<double>(histories);
  const AdjustedP adjusted = AdjustPValue({c.kind, c.testedDraws, c.observedP});
  // Box is simulated; a mini is worked out and agrees to rounding.
  EXPECT_EQ(adjusted.exact, c.kind != HitKind::kBox);
  const double error = adjusted.exact ? 0 : std::sqrt(exact * (1 - exact) / kAdjustedPHistories);
  EXPECT_NEAR(adjusted.p, exact, 4 * error + 1e-9) << "exact " << exact;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AdjustedPTiny,
    ::testing::Values(TinyCase{"BoxOneDrawLowestChance", HitKind::kBox, 1, 1000, 0.032},
                      TinyCase{"BoxOneDrawMiddleChance", HitKind::kBox, 1, 1000, 0.04},
                      TinyCase{"MiniTwoDraws", HitKind::kMini, 2, 100, 0.01},
                      TinyCase{"MiniTwoDrawsOneHit", HitKind::kMini, 2, 100, 0.19}),
    [](const ::testing::TestParamInfo<TinyCase>& info) { return std::string(info.param.name); });

// On histories long enough for the shortcuts (one threshold per kind, exact
// tails only for classes whose normal score comes near), the judge agrees
// with the plain way on every history.
struct JudgeCase {
  const char* name;
  HitKind kind;
  int testedDraws;
  double observedP;
};

class BestRuleJudgeAgrees : public ::testing::TestWithParam<JudgeCase> {};

TEST_P(BestRuleJudgeAgrees, WithThePlainWayOnEveryHistory) {
  const JudgeCase& c = GetParam();
  BestRuleJudge judge(c.kind, c.testedDraws, c.observedP);
  std::vector<int> numbers(static_cast<std::size_t>(c.testedDraws) + 1);
  int reached = 0;
  HitDistribution scratch(c.testedDraws);
  for (int history = 0; history < 60; ++history) {
    RandomStream random(5, history);
    for (int& number : numbers)
      number = random.Below(kNumberCount);
    const bool plain = BestPOfHistory(c.kind, numbers, scratch) <= c.observedP * (1 + 1e-9);
    ASSERT_EQ(judge.BestReaches(numbers), plain) << "history " << history;
    reached += plain ? 1 : 0;
  }
  // Both answers occur, so the comparison means something.
  EXPECT_GT(reached, 0);
  EXPECT_LT(reached, 60);
}

INSTANTIATE_TEST_SUITE_P(Cases, BestRuleJudgeAgrees,
                         ::testing::Values(JudgeCase{"BoxFewDraws", HitKind::kBox, 120, 0.004},
                                           JudgeCase{"BoxManyDraws", HitKind::kBox, 2500, 0.004},
                                           JudgeCase{"Straight", HitKind::kStraight, 1500, 0.003},
                                           JudgeCase{"Mini", HitKind::kMini, 1500, 0.03}),
                         [](const ::testing::TestParamInfo<JudgeCase>& info) {
                           return std::string(info.param.name);
                         });

// The same histories judged against a larger observed p-value can only
// reach it more often; and the thread count changes nothing.
TEST(AdjustedP, RisesWithTheObservedPAndIgnoresThreads) {
  for (const HitKind kind : {HitKind::kStraight, HitKind::kBox, HitKind::kMini}) {
    double previous = 0;
    for (const double observed : {0.0005, 0.002, 0.01, 0.03, 0.1, 0.4}) {
      const AdjustedP one = SimulateAdjustedP({kind, 400, observed, 2000, 3, 1});
      const AdjustedP three = SimulateAdjustedP({kind, 400, observed, 2000, 3, 3});
      EXPECT_EQ(one.p, three.p) << observed;
      EXPECT_GE(one.p, previous) << observed;
      EXPECT_GE(one.p, observed) << observed;
      EXPECT_GE(one.upperBound, one.p) << observed;
      previous = one.p;
    }
  }
}

// P(the largest multinomial count >= best) against every split of the draws
// among the rules, weighed by its multinomial probability (summed to about
// 1e-11): for every best from 0 to one above the draws, including the tails
// where only one count can reach it.
struct SplitCase {
  int draws;
  int rules;
};

class ChanceBestReachesSplits : public ::testing::TestWithParam<SplitCase> {};

// Adds the probability of every split of `left` draws among `rules` more
// rules to reaching[m] for each m up to the split's largest count.
void AddSplits(int left, int rules, int largest, double logWeight, double logChance,
               std::vector<double>& reaching) {
  if (rules == 1) {
    const double p = std::exp(logWeight - std::lgamma(left + 1.0) + logChance);
    for (int best = 0; best <= std::max(largest, left); ++best)
      reaching[static_cast<std::size_t>(best)] += p;
    return;
  }
  for (int count = 0; count <= left; ++count) {
    AddSplits(left - count, rules - 1, std::max(largest, count),
              logWeight - std::lgamma(count + 1.0), logChance, reaching);
  }
}

TEST_P(ChanceBestReachesSplits, MatchEnumeration) {
  const SplitCase& c = GetParam();
  std::vector<double> reaching(static_cast<std::size_t>(c.draws) + 2, 0.0);
  AddSplits(c.draws, c.rules, 0, std::lgamma(c.draws + 1.0), -c.draws * std::log(c.rules),
            reaching);
  for (int best = 0; best <= c.draws + 1; ++best) {
    EXPECT_NEAR(ChanceBestReaches(c.draws, c.rules, best), reaching[static_cast<std::size_t>(best)],
                1e-10)
        << "best " << best;
  }
}

INSTANTIATE_TEST_SUITE_P(Splits, ChanceBestReachesSplits,
                         ::testing::Values(SplitCase{40, 2}, SplitCase{24, 4}, SplitCase{9, 10},
                                           SplitCase{3, 100}, SplitCase{0, 10}),
                         [](const ::testing::TestParamInfo<SplitCase>& info) {
                           return "Draws" + std::to_string(info.param.draws) + "Rules" +
                                  std::to_string(info.param.rules);
                         });

// On long histories the exact value and the simulation agree: the straight
// figure of draws 2 to 5000 of the real history, and a mini.
TEST(ChanceBestReaches, AgreesWithTheSimulation) {
  struct Case {
    HitKind kind;
    int draws;
    int best;
    double exact;  // worked out independently
  };
  for (const Case& c :
       {Case{HitKind::kStraight, 4999, 67, 0.718976}, Case{HitKind::kMini, 1500, 172, -1}}) {
    const int rules = RuleClassCount(c.kind);
    HitDistribution binomial(c.draws);
    binomial.AddDraws(c.draws, 1.0 / rules);
    const AdjustedPRequest request{c.kind, c.draws, binomial.AtLeast(c.best), 10000, 11, 2};
    const AdjustedP exact = AdjustPValue(request);
    EXPECT_TRUE(exact.exact);
    EXPECT_DOUBLE_EQ(exact.p, ChanceBestReaches(c.draws, rules, c.best));
    if (c.exact >= 0) {
      EXPECT_NEAR(exact.p, c.exact, 5e-7);
    }
    const AdjustedP simulated = SimulateAdjustedP(request);
    EXPECT_NEAR(simulated.p, exact.p, 4 * std::sqrt(exact.p * (1 - exact.p) / 10000));
  }
}

// Clopper-Pearson bounds against their closed forms: none reached, and all
// but one.
TEST(UpperBoundOfShare, MatchesTheClosedForms) {
  for (const int trials : {1, 20, 10000}) {
    EXPECT_NEAR(UpperBoundOfShare(0, trials), 1 - std::pow(0.05, 1.0 / trials), 1e-9);
    EXPECT_NEAR(UpperBoundOfShare(trials - 1, trials), std::pow(0.95, 1.0 / trials), 1e-9);
    EXPECT_EQ(UpperBoundOfShare(trials, trials), 1.0);
  }
}

// Courses of chance alone, simulated draw by draw with another generator,
// stay inside the band all the way in 95 % of histories, within Monte-Carlo
// error (a little more is allowed above: the counts are whole); the band is
// the same on three threads.
constexpr std::array<const char*, kHitKindCount> kKindNames{"Straight", "Box", "Mini"};

struct BandCase {
  const char* name;
  std::vector<int> chanceCycle;
  int draws;
  int every;
};

class SimultaneousBandCoverage : public ::testing::TestWithParam<BandCase> {};

TEST_P(SimultaneousBandCoverage, HoldsNinetyFivePercentOfWholeCourses) {
  const BandCase& c = GetParam();
  std::vector<int> chances;
  std::vector<int> pointAfter;
  for (int i = 0; i < c.draws; ++i) {
    chances.push_back(c.chanceCycle[static_cast<std::size_t>(i) % c.chanceCycle.size()]);
    if ((i + 1) % c.every == 0 || i == c.draws - 1)
      pointAfter.push_back(i);
  }
  const std::vector<HitsRange> band = SimultaneousBand(chances, pointAfter);
  ASSERT_EQ(band.size(), pointAfter.size());
  const std::vector<HitsRange> threaded = SimultaneousBand(chances, pointAfter, 3);
  for (std::size_t point = 0; point < band.size(); ++point) {
    ASSERT_EQ(threaded[point].low, band[point].low);
    ASSERT_EQ(threaded[point].high, band[point].high);
  }
  constexpr int kCourses = 4000;
  int inside = 0;
  for (int course = 0; course < kCourses; ++course) {
    RandomStream random(987654321, course);
    int hits = 0;
    std::size_t point = 0;
    bool stayed = true;
    for (int i = 0; i < c.draws; ++i) {
      hits += random.Below(1000) < chances[static_cast<std::size_t>(i)] ? 1 : 0;
      if (i != pointAfter[point])
        continue;
      stayed = stayed && hits >= band[point].low && hits <= band[point].high;
      ++point;
    }
    inside += stayed ? 1 : 0;
  }
  const double coverage = static_cast<double>(inside) / kCourses;
  const double error = std::sqrt(0.95 * 0.05 / kCourses);
  EXPECT_GE(coverage, 0.95 - 4 * error);
  EXPECT_LE(coverage, 0.95 + 4 * error + 0.01);
}

INSTANTIATE_TEST_SUITE_P(Cases, SimultaneousBandCoverage,
                         ::testing::Values(BandCase{"BoxLevels", {32, 44, 44, 40, 44}, 3000, 10},
                                           BandCase{"StraightEveryDraw", {10}, 300, 1},
                                           BandCase{"MiniLong", {100}, 7000, 24}),
                         [](const ::testing::TestParamInfo<BandCase>& info) {
                           return std::string(info.param.name);
                         });

// Courses of chance on the draw process itself, drawn with another
// generator, each draw's candidates from the prediction of the default set
// after the number before (or a stored position, every 40th draw; a draw
// missing after every 500th, so that the next one follows a number no
// tested draw has): no more than 5 % of them leave the process band, within
// Monte-Carlo error, and not far fewer; the band is the same on one thread.
class ProcessBandCoverage : public ::testing::TestWithParam<HitKind> {};

TEST_P(ProcessBandCoverage, HoldsNinetyFivePercentOfCoursesOnTheDrawProcess) {
  const HitKind kind = GetParam();
  const CandidateSets& sets = CandidateSets::Get();
  const RunSettings base = ReadRunSettings();
  const WalkForwardPredictor predictor(ReadSettingsType(0), base.diameter, base.stepNum);
  const auto digitsOf = [](int number) {
    return DigitTriple{static_cast<std::uint8_t>(number / 100),
                       static_cast<std::uint8_t>(number / 10 % 10),
                       static_cast<std::uint8_t>(number % 10)};
  };
  std::vector<std::uint8_t> setAfter;
  for (int number = 0; number < kNumberCount; ++number)
    setAfter.push_back(sets.Code(predictor.KeyFromPreviousWinning(digitsOf(number))).stepCode);
  constexpr int kDraws = 1200;
  const int storedKey = predictor.KeyFromStoredPosition(digitsOf(407));
  std::vector<ProcessDraw> draws;
  std::vector<int> pointAfter;
  for (int at = 0; at < kDraws; ++at) {
    draws.push_back({at % 40 == 39 ? sets.Code(storedKey).stepCode : -1, at > 0 && at % 500 != 0});
    if (at % 4 == 3)
      pointAfter.push_back(at);
  }
  const std::vector<ExcessRange> band = ProcessBand(kind, setAfter, draws, pointAfter, 2);
  const std::vector<ExcessRange> alone = ProcessBand(kind, setAfter, draws, pointAfter, 1);
  for (std::size_t point = 0; point < band.size(); ++point) {
    ASSERT_EQ(band[point].low, alone[point].low);
    ASSERT_EQ(band[point].high, alone[point].high);
  }
  constexpr int kCourses = 4000;
  int outside = 0;
  for (int course = 0; course < kCourses; ++course) {
    RandomStream random(13579, course);
    int previous = random.Below(kNumberCount);
    double excess = 0;
    std::size_t point = 0;
    bool stayed = true;
    for (int at = 0; at < kDraws; ++at) {
      const ProcessDraw& draw = draws[static_cast<std::size_t>(at)];
      if (draw.storedSet < 0 && !draw.chained)
        previous = random.Below(kNumberCount);
      const int number = random.Below(kNumberCount);
      const SetCode& set = sets.Code(
          draw.storedSet >= 0 ? storedKey : predictor.KeyFromPreviousWinning(digitsOf(previous)));
      excess += (IsHit(Compare(set, WinningShapeOf(number)), kind) ? 1 : 0) -
                ChanceOf(sets.Chances(set.stepCode), kind) / 1000.0;
      previous = number;
      if (point < pointAfter.size() && at == pointAfter[point]) {
        stayed = stayed && excess >= band[point].low - 1e-9 && excess <= band[point].high + 1e-9;
        ++point;
      }
    }
    outside += stayed ? 0 : 1;
  }
  const double share = static_cast<double>(outside) / kCourses;
  EXPECT_LE(share, 0.05 + 3 * std::sqrt(0.05 * 0.95 / kCourses));
  EXPECT_GE(share, 0.02);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ProcessBandCoverage,
                         ::testing::Values(HitKind::kStraight, HitKind::kBox, HitKind::kMini),
                         [](const ::testing::TestParamInfo<HitKind>& info) {
                           return std::string(kKindNames[static_cast<std::size_t>(info.param)]);
                         });

}  // namespace
}  // namespace kitebar
