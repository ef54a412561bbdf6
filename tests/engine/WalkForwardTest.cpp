#include "engine/WalkForward.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "common/NumberText.h"
#include "engine/BackTest.h"
#include "engine/PredictionRun.h"
#include "history/DrawHistory.h"
#include "history/ResultsCsv.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::ReadFileBytes;
using test::TempWorkingDirectory;
using test::WriteFileBytes;
using Numbers = std::array<int, kCandidateCount>;

// Five sets that differ in every value the engine reads, on and beyond the
// accepted bounds, with stop constants that are short or hold a letter (set
// 0 has no file: the defaults); and a step value and diameter other than
// the simulator's construction values.
const char* const kSetFiles[kSettingsTypeCount] = {
    "",
    "[EndPoint]\nnum=105\n[Toutatu2]\nf=1.26\n[Toutatu3]\nf=3.50\n[Toutatu4]\nf=8.99\n"
    "[Tekicyuten3]\nf=12.50\n[Tekicyuten4]\nf=15.99\n[SpeedRate2]\nnum=0\n[SpeedRate4]\nnum=4\n",
    "[EndPoint]\nnum=990\n[Toutatu2]\nf=9.00\n[Toutatu3]\nf=0.00\n[Tekicyuten2]\nf=9.00\n"
    "[Tekicyuten3]\nf=16.00\n[SpeedRate2]\nnum=1\n[SpeedRate4]\nnum=7\n",
    "[EndPoint]\nnum=7\n[Toutatu3]\nf=9.50\n[Tekicyuten2]\nf=14.20\n[SpeedRate3]\nnum=3\n",
    "[EndPoint]\nnum=2x8\n[Toutatu2]\nf=0.50\n[Tekicyuten2]\nf=8.50\n[SpeedRate2]\nnum=-1\n",
};

Numbers NumbersOf(const CandidateTable& table) {
  Numbers numbers{};
  for (int k = 1; k <= kCandidateCount; ++k) {
    const std::string text = CandidateText(table, k);
    numbers[static_cast<std::size_t>(k - 1)] =
        text.find_first_not_of("0123456789") == std::string::npos ? std::stoi(text) : -1;
  }
  return numbers;
}

Numbers NumbersOfKey(int key) {
  Numbers numbers{};
  for (int k = 0; k < kCandidateCount; ++k)
    numbers[static_cast<std::size_t>(k)] = CandidateSets::Get().Candidate(key, k);
  return numbers;
}

// The candidates of the simulator for position `digits`.
Numbers Predict(WindmillSimulator& simulator, std::string_view digits, int set) {
  for (std::size_t offset = 0; offset < kPlacesPerTriple; ++offset)
    simulator.inputPosition[offset] = static_cast<std::uint16_t>(digits[offset]);
  simulator.PredictCandidates(set);
  return NumbersOf(simulator.candidates);
}

DigitTriple DigitsOf(std::string_view text) {
  return {static_cast<std::uint8_t>(text[0] - '0'), static_cast<std::uint8_t>(text[1] - '0'),
          static_cast<std::uint8_t>(text[2] - '0')};
}

// A position for draw n unrelated to its neighbours.
std::string StoredPositionFor(const DrawHistory& history, int n) {
  return std::string(history.record((n * 7) % history.count + 1).digitsText());
}

// The real history with the five sets; the parameter is the start index.
class LeanCandidatesOnRealHistory : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    for (int set = 1; set < kSettingsTypeCount; ++set)
      WriteFileBytes(SettingsTypeFile(set), kSetFiles[set]);
    WriteFileBytes("base.ini", "[StepNum]\nnum=47\n[Diameter]\nf=33.3\n[StartIndex]\nindex=" +
                                   FormatInt(GetParam()) + "\n");
    ASSERT_TRUE(MergeResultsCsv(history_, ReadFileBytes(KITEBAR_SAMPLE_CSV)).ok());
    ASSERT_TRUE(history_.Save().ok());
    const RunSettings base = ReadRunSettings();
    predictor_ = std::make_unique<WalkForwardPredictor>(ReadSettingsType(GetParam()), base.diameter,
                                                        base.stepNum);
  }

  TempWorkingDirectory folder_;
  DrawHistory history_;
  std::unique_ptr<WalkForwardPredictor> predictor_;
};

// Every draw against the simulator driven as the prediction run drives it:
// estimated with the base values from the draw before (the all-draws run
// estimates each draw exactly as a single run does), or from a stored
// position with the construction values; the outcome as the back-test
// classifies it.
TEST_P(LeanCandidatesOnRealHistory, EqualTheSimulatorForEveryDraw) {
  std::vector<TestedDraw> tested;
  WalkDraws(PreparedHistory(history_), *predictor_, {2, history_.count}, PositionSource::kEstimated,
            &tested);
  ASSERT_EQ(tested.size(), static_cast<std::size_t>(history_.count - 1));
  auto estimating = std::make_unique<WindmillSimulator>();
  estimating->drawNumber = history_.count;
  ASSERT_TRUE(estimating->RunDraws(history_, true, 0).ok());
  auto constructed = std::make_unique<WindmillSimulator>();
  int differences = 0;
  for (const TestedDraw& draw : tested) {
    const int n = draw.drawNumber;
    const Numbers expected = Predict(
        *estimating, WindmillSimulator::Triple(estimating->estimatedPositions, n - 2), GetParam());
    const BackTestResult result =
        CompareCandidates(estimating->candidates, WinningDigitsOf(history_.record(n).digitsText()));
    const std::string position = StoredPositionFor(history_, n);
    const bool same = NumbersOfKey(draw.candidateKey) == expected &&
                      draw.outcome.straight == (result.main == '1') &&
                      draw.outcome.box == (result.main == '2') &&
                      draw.outcome.mini == (result.mini == '3') &&
                      NumbersOfKey(predictor_->KeyFromStoredPosition(DigitsOf(position))) ==
                          Predict(*constructed, position, GetParam());
    EXPECT_TRUE(same) << "draw " << n << ", stored position " << position;
    if (!same && ++differences == 5)
      return;
  }
}

// The prediction run itself (which estimates, stores and saves) on draws
// spread over the history, then again once a decided or estimated position
// is stored, against the walk that uses stored positions.
TEST_P(LeanCandidatesOnRealHistory, EqualThePredictionRunWithAndWithoutStoredPositions) {
  std::vector<int> draws{2, 3, history_.count};
  for (int n = 509; n < history_.count; n += 509)
    draws.push_back(n);
  for (const int n : draws) {
    const std::vector<TestedDraw> estimated = [&] {
      std::vector<TestedDraw> tested;
      WalkDraws(PreparedHistory(history_), *predictor_, {n, n}, PositionSource::kEstimated,
                &tested);
      return tested;
    }();
    const Result<Prediction> run = PredictionRun(history_, n, false);
    ASSERT_TRUE(run.ok() && estimated.size() == 1) << run.message();
    EXPECT_EQ(NumbersOfKey(estimated.front().candidateKey), NumbersOf(run->candidates)) << n;

    ASSERT_TRUE(history_.SetPosition(n, StoredPositionFor(history_, n), n % 2 == 0 ? '1' : '0'));
    std::vector<TestedDraw> stored;
    const WalkTally tally = WalkDraws(PreparedHistory(history_), *predictor_, {n, n},
                                      PositionSource::kStoredWhereGiven, &stored);
    const Result<Prediction> fromStored = PredictionRun(history_, n, false);
    ASSERT_TRUE(fromStored.ok() && stored.size() == 1);
    EXPECT_EQ(tally.decidedPositions, n % 2 == 0 ? 1 : 0);
    EXPECT_EQ(NumbersOfKey(stored.front().candidateKey), NumbersOf(fromStored->candidates)) << n;
  }
}

INSTANTIATE_TEST_SUITE_P(EverySet, LeanCandidatesOnRealHistory, ::testing::Range(0, 5),
                         [](const auto& info) { return "Type" + std::to_string(info.param + 1); });

// Random settings, on and beyond every bound, against the simulator for
// every previous winning number and every stored position.
TEST(LeanCandidates, EqualTheSimulatorForRandomSettings) {
  const TempWorkingDirectory folder;
  DrawHistory everyNumber;
  for (int number = 0; number < kNumberCount; ++number)
    ASSERT_TRUE(everyNumber.AppendImportedDraw(FormatZeroPadded(number, 3)).ok());
  const PreparedHistory prepared(everyNumber);
  std::mt19937 random(16);
  const auto pick = [&random](std::vector<std::string> values) {
    values.push_back(FormatFixed(std::uniform_real_distribution<double>(-1, 51)(random), 2));
    return values[std::uniform_int_distribution<std::size_t>(0, values.size() - 1)(random)];
  };
  for (int trial = 0; trial < 60; ++trial) {
    std::string set =
        "[EndPoint]\nnum=" + pick({FormatZeroPadded(random() % 1000, 3), "05", "1a9"});
    for (const char* place : {"2", "3", "4"}) {
      set += std::string("\n[Toutatu") + place + "]\nf=" + pick({"0", "9.00", "1.26", "4.4"}) +
             "\n[Tekicyuten" + place + "]\nf=" + pick({"9", "16.00", "11.50", "12.3"}) +
             "\n[SpeedRate" + place + "]\nnum=" + pick({"0", "1", "2", "3", "4", "-1"});
    }
    WriteFileBytes("type1.ini", set + "\n");
    WriteFileBytes("base.ini", "[StepNum]\nnum=" + pick({"40", "1", "97", "0", "-3"}) +
                                   "\n[Diameter]\nf=" + pick({"30.0", "10.0", "0", "-5"}) + "\n");
    SCOPED_TRACE(set + "\n" + ReadFileBytes("base.ini"));
    const RunSettings base = ReadRunSettings();
    const WalkForwardPredictor predictor(ReadSettingsType(0), base.diameter, base.stepNum);
    auto estimating = std::make_unique<WindmillSimulator>();
    estimating->drawNumber = kNumberCount + 1;
    ASSERT_TRUE(estimating->RunDraws(everyNumber, true, 0).ok());
    auto constructed = std::make_unique<WindmillSimulator>();
    for (int number = 0; number < kNumberCount; ++number) {
      const DigitTriple& digits = prepared.draw(number + 1).winningDigits;
      const std::string text = FormatZeroPadded(number, 3);
      ASSERT_EQ(NumbersOfKey(predictor.KeyFromPreviousWinning(digits)),
                Predict(*estimating,
                        WindmillSimulator::Triple(estimating->estimatedPositions, number), 0))
          << "after " << text;
      ASSERT_EQ(NumbersOfKey(predictor.KeyFromStoredPosition(digits)),
                Predict(*constructed, text, 0))
          << "from position " << text;
    }
  }
}

// Changing the winning number of draw n changes no candidate of the draws up
// to n, and does change those of draw n + 1.
class WalkForwardHonesty : public ::testing::TestWithParam<int> {};

TEST_P(WalkForwardHonesty, LaterNumbersNeverReachEarlierCandidates) {
  DrawHistory history;
  ASSERT_TRUE(MergeResultsCsv(history, ReadFileBytes(KITEBAR_SAMPLE_CSV)).ok());
  const int n = GetParam();
  const WalkForwardPredictor predictor(SettingsType{{'2', '3', '8'}}, 30.0f, 40);
  const auto keys = [&] {
    std::vector<TestedDraw> tested;
    WalkDraws(PreparedHistory(history), predictor, {2, history.count}, PositionSource::kEstimated,
              &tested);
    std::vector<int> result;
    for (const TestedDraw& draw : tested)
      result.push_back(draw.candidateKey);
    return result;
  };
  const std::vector<int> before = keys();
  const int changed = (std::stoi(std::string(history.record(n).digitsText())) + 371) % 1000;
  ASSERT_TRUE(history.SetDigits(n, FormatZeroPadded(changed, 3)).ok());
  const std::vector<int> after = keys();
  // Tested draw d is at index d - 2.
  EXPECT_TRUE(std::equal(before.begin(), before.begin() + (n - 1), after.begin()));
  if (n < history.count) {
    EXPECT_NE(before[static_cast<std::size_t>(n - 1)], after[static_cast<std::size_t>(n - 1)]);
  }
}

INSTANTIATE_TEST_SUITE_P(ChangedDraws, WalkForwardHonesty, ::testing::Values(1, 2, 1000, 7088),
                         [](const auto& info) { return "Draw" + std::to_string(info.param); });

}  // namespace
}  // namespace kitebar
