#include "engine/SettingsSearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <string>
#include <vector>

#include "common/NumberText.h"
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

  SearchResult Search(const SearchOptions& options, const SearchMonitor& monitor = {}) const {
    const PreparedHistory training(history_, kTrainTo);
    const RunSettings base = ReadRunSettings();
    return SearchSettings(SettingScorer(training, base.diameter, base.stepNum, HitKind::kBox),
                          options, monitor);
  }

  TempWorkingDirectory folder_;
  DrawHistory history_;
};

void ExpectSameSearch(const SearchResult& actual, const SearchResult& expected) {
  EXPECT_EQ(actual.tried, expected.tried);
  EXPECT_EQ(actual.best, expected.best);
  EXPECT_EQ(actual.bestNumber, expected.bestNumber);
  EXPECT_EQ(actual.bestScore.hits, expected.bestScore.hits);
  EXPECT_EQ(actual.bestScore.chanceThousandths, expected.bestScore.chanceThousandths);
  EXPECT_EQ(actual.excessThousandths, expected.excessThousandths);
  EXPECT_EQ(actual.distinctRules, expected.distinctRules);
}

// Budgets with and without a refinement, a last round cut short; thread
// counts below, at and above the machine's cores.
struct ThreadCase {
  int budget;
  std::uint64_t seed;
  int threads;
};

class SearchThreads : public RealHistory, public ::testing::WithParamInterface<ThreadCase> {};

TEST_P(SearchThreads, GiveTheResultOfOneThread) {
  const ThreadCase& c = GetParam();
  const SearchResult alone = Search({c.budget, c.seed, 1});
  const SearchResult together = Search({c.budget, c.seed, c.threads});
  ExpectSameSearch(together, alone);
  EXPECT_EQ(alone.tried, c.budget);
  ASSERT_EQ(alone.excessThousandths.size(), static_cast<std::size_t>(c.budget));
  // The best scores highest, and comes first among equals.
  const auto best = static_cast<std::size_t>(alone.bestNumber);
  for (std::size_t n = 0; n < alone.excessThousandths.size(); ++n) {
    ASSERT_LE(alone.excessThousandths[n], alone.excessThousandths[best]) << n;
    if (n < best) {
      ASSERT_LT(alone.excessThousandths[n], alone.excessThousandths[best]) << n;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, SearchThreads,
                         ::testing::Values(ThreadCase{1, 5, 2}, ThreadCase{700, 1, 2},
                                           ThreadCase{700, 1, 3}, ThreadCase{1300, 42, 8},
                                           ThreadCase{129, 7, 4}),
                         [](const ::testing::TestParamInfo<ThreadCase>& info) {
                           const ThreadCase& c = info.param;
                           return test::CaseName("budget " + std::to_string(c.budget) + " seed " +
                                                     std::to_string(c.seed) + " threads " +
                                                     std::to_string(c.threads),
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
  request.search = {400, 3, 2};
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
  ExpectSameSearch(after->search, before->search);
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
  ASSERT_TRUE(SaveTunedSetting(kSet, setting).ok());

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

  const PreparedHistory training(history_, kTrainTo);
  const RunSettings base = ReadRunSettings();
  const SettingScorer scorer(training, base.diameter, base.stepNum, HitKind::kBox);
  const KindScore fromFile =
      ScoreDraws(training, WalkForwardPredictor(read, base.diameter, base.stepNum), scorer.range(),
                 PositionSource::kEstimated, HitKind::kBox);
  const KindScore fromSearch = scorer.Score(setting).score;
  EXPECT_EQ(fromFile.hits, fromSearch.hits);
  EXPECT_EQ(fromFile.chanceThousandths, fromSearch.chanceThousandths);
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

// Settings of one rule offer the same candidate set after every previous
// winning number: the count of rules on the page is the count of different
// behaviours.
TEST(SearchRules, NameTheCandidateSetsOfEveryDraw) {
  const DrawHistory none;
  const PreparedHistory empty(none);
  const SettingScorer scorer(empty, 33.3f, 47, HitKind::kBox);
  std::map<int, std::vector<int>> setsOfRule;
  for (int n = 0; n < 400; ++n) {
    const SearchedSetting setting = RandomSetting(2024, n);
    const WalkForwardPredictor predictor(EngineSetOf(setting), 33.3f, 47);
    std::vector<int> sets;
    for (int previous = 0; previous < kNumberCount; ++previous) {
      const DigitTriple digits{static_cast<std::uint8_t>(previous / 100),
                               static_cast<std::uint8_t>(previous / 10 % 10),
                               static_cast<std::uint8_t>(previous % 10)};
      sets.push_back(CandidateSets::Get().Code(predictor.KeyFromPreviousWinning(digits)).stepCode);
    }
    const auto [known, added] = setsOfRule.emplace(scorer.Score(setting).rule, sets);
    if (!added) {
      ASSERT_EQ(known->second, sets) << "setting " << n << " rule " << known->first;
    }
  }
  EXPECT_GT(setsOfRule.size(), 50u);
}

// A stop asked for before the start still tries setting 0; one asked for
// at a report (after each setting, on one thread) keeps what was tried.
struct StopCase {
  const char* name;
  bool beforeStart;
  int stopAtReport;
  int tried;
};

class StoppedSearch : public RealHistory, public ::testing::WithParamInterface<StopCase> {};

TEST_P(StoppedSearch, KeepsTheBestOfWhatItTried) {
  const StopCase& c = GetParam();
  std::atomic<bool> stop{c.beforeStart};
  int reports = 0;
  const SearchResult result = Search({5000, 9, 1}, {&stop, [&](const SearchProgress& progress) {
                                                      EXPECT_EQ(progress.tried, ++reports);
                                                      EXPECT_EQ(progress.budget, 5000);
                                                      if (reports == c.stopAtReport)
                                                        stop = true;
                                                    }});
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(result.tried, c.tried);
  ASSERT_EQ(result.excessThousandths.size(), static_cast<std::size_t>(c.tried));
  // The first settings of the search that was not stopped.
  const SearchResult whole = Search({5000, 9, 1});
  const std::vector<std::int32_t> sampled(whole.excessThousandths.begin(),
                                          whole.excessThousandths.begin() + c.tried);
  EXPECT_EQ(result.excessThousandths, sampled);
  EXPECT_EQ(result.bestScore.hits * 1000 - result.bestScore.chanceThousandths,
            *std::max_element(sampled.begin(), sampled.end()));
}

INSTANTIATE_TEST_SUITE_P(Moments, StoppedSearch,
                         ::testing::Values(StopCase{"BeforeStart", true, 0, 1},
                                           StopCase{"AtTheHundredthReport", false, 100, 100}),
                         [](const ::testing::TestParamInfo<StopCase>& info) {
                           return std::string(info.param.name);
                         });

// A neighbour differs from its centre in exactly one value and stays in the
// dialog's ranges, also from the bounds and with a radius beyond the range.
TEST(NeighbourSettings, ChangeOneValueWithinItsRange) {
  const SearchedSetting low{{0, 0, 0, 0, 0, 0, 1000, 1000, 1000, 0, 0, 0}};
  const SearchedSetting high{{9, 9, 9, 500, 500, 500, 1500, 1500, 1500, 4, 4, 4}};
  for (const SearchedSetting& centre : {low, high}) {
    for (const int radius : {1, 128, 5000}) {
      for (int n = 0; n < 500; ++n) {
        const SearchedSetting neighbour = NeighbourSetting(centre, radius, 77, n);
        int changed = 0;
        for (int value = 0; value < kSearchedValueCount; ++value) {
          const auto at = static_cast<std::size_t>(value);
          const SearchedRange& range = kSearchedRanges[at / kPlacesPerTriple];
          ASSERT_GE(neighbour.values[at], range.low);
          ASSERT_LE(neighbour.values[at], range.high);
          const int distance = std::abs(neighbour.values[at] - centre.values[at]);
          if (distance == 0)
            continue;
          ++changed;
          if (value >= kPlacesPerTriple && value < 3 * kPlacesPerTriple) {
            ASSERT_LE(distance, radius);
          }
        }
        ASSERT_EQ(changed, 1) << n;
      }
    }
  }
}

}  // namespace
}  // namespace kitebar
