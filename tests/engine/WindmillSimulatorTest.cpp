#include "engine/WindmillSimulator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "history/DrawHistory.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::TempWorkingDirectory;
using test::WriteFileBytes;

DrawHistory HistoryOf(const std::vector<std::string>& winningNumbers) {
  DrawHistory history;
  for (const std::string& digits : winningNumbers)
    EXPECT_TRUE(history.AppendImportedDraw(digits));
  return history;
}

std::string CandidateRowText(const WindmillSimulator& simulator, Place place) {
  std::string text;
  for (std::uint16_t entry : simulator.candidates[place])
    text += static_cast<char>(entry);
  return text;
}

std::array<int, 4> HitShifts(const WindmillSimulator& simulator) {
  return {simulator.hitShift[0], simulator.hitShift[1], simulator.hitShift[2],
          simulator.hitShift[3]};
}

class WindmillSimulatorTest : public ::testing::Test {
 protected:
  TempWorkingDirectory folder_;
};

TEST_F(WindmillSimulatorTest, MissingSetFileGivesTheDefaults) {
  const auto simulator = std::make_unique<WindmillSimulator>();
  const SettingsType& type = simulator->types[2];
  EXPECT_STREQ(type.stopConstant.data(), "238");
  for (int place = 0; place < kPlaceTableSize; ++place) {
    EXPECT_EQ(type.startToReach[static_cast<std::size_t>(place)], 2.0f);
    EXPECT_EQ(type.startToHit[static_cast<std::size_t>(place)], 11.5f);
    EXPECT_EQ(type.speedOffset[static_cast<std::size_t>(place)], 0);
  }
  EXPECT_EQ(simulator->stepNum, 40);
  EXPECT_EQ(simulator->targetDiameter, 30.0f);
}

TEST_F(WindmillSimulatorTest, SetFileValuesAreReadPerPlace) {
  WriteFileBytes("type2.ini",
                 "[EndPoint]\r\nnum=1238\r\n[Toutatu3]\r\nf=1.26\r\n[Tekicyuten4]\r\nf=13.50\r\n"
                 "[SpeedRate1]\r\nnum=0\r\n[SpeedRate2]\r\nnum=7\r\n[SpeedRate3]\r\nnum=-1\r\n"
                 "[SpeedRate4]\r\nnum=fast\r\n");
  const auto simulator = std::make_unique<WindmillSimulator>();
  const SettingsType& type = simulator->types[1];
  EXPECT_STREQ(type.stopConstant.data(), "1238");
  EXPECT_EQ(type.startToReach[kTens], 1.26f);
  EXPECT_EQ(type.startToReach[kUnits], 2.0f);
  EXPECT_EQ(type.startToHit[kUnits], 13.5f);
  EXPECT_EQ(type.speedOffset, (std::array<std::int32_t, 4>{-2, 2, 2, -2}));
}

TEST_F(WindmillSimulatorTest, WinningNumbersBecomeWheelPositionsAndBack) {
  const DrawHistory history = HistoryOf({"123", "456", "789", "000", "xxx"});
  const auto simulator = std::make_unique<WindmillSimulator>();
  simulator->LoadWinningPositions(history, 6);
  EXPECT_EQ(WindmillSimulator::Triple(simulator->winningPositions, 0), "943");
  EXPECT_EQ(WindmillSimulator::Triple(simulator->winningPositions, 1), "656");
  EXPECT_EQ(WindmillSimulator::Triple(simulator->winningPositions, 4), std::string("\0\0x", 3));
  simulator->PositionsToDigits(6);
  EXPECT_EQ(WindmillSimulator::Triple(simulator->winningPositions, 0), "123");
  EXPECT_EQ(WindmillSimulator::Triple(simulator->winningPositions, 2), "789");
  EXPECT_EQ(WindmillSimulator::Triple(simulator->winningPositions, 4), std::string("\0\0x", 3));
}

TEST_F(WindmillSimulatorTest, WorkedExampleEstimatesPosition466ForDraw2) {
  const DrawHistory history = HistoryOf({"123"});
  const auto simulator = std::make_unique<WindmillSimulator>();
  simulator->drawNumber = 2;
  ASSERT_TRUE(simulator->RunDraws(history, false, 0));
  EXPECT_EQ(WindmillSimulator::Triple(simulator->startPositions, 0), "171");
  EXPECT_EQ(HitShifts(*simulator), (std::array<int, 4>{0, 5, 5, 5}));
  EXPECT_EQ(WindmillSimulator::Triple(simulator->estimatedPositions, 0), "466");
}

TEST_F(WindmillSimulatorTest, WorkedExamplePredictsTheTenCandidatesOf466) {
  const auto simulator = std::make_unique<WindmillSimulator>();
  simulator->inputPosition = {'4', '6', '6'};
  simulator->PredictCandidates(0);
  EXPECT_EQ(CandidateRowText(*simulator, kHundreds), "9876543210");
  EXPECT_EQ(CandidateRowText(*simulator, kTens), "1470369258");
  EXPECT_EQ(CandidateRowText(*simulator, kUnits), "1234567890");
  EXPECT_EQ(simulator->candidates[kThousands], (std::array<std::uint16_t, 10>{}));
}

// Whatever the settings, each row holds the ten digits once and, as wheel
// positions, each entry is one sector beyond the one before.
TEST_F(WindmillSimulatorTest, EveryCandidateRowTurnsOneSectorPerEntry) {
  WriteFileBytes("type1.ini",
                 "[EndPoint]\nnum=905\n[Toutatu2]\nf=7.75\n[Tekicyuten3]\nf=16.00\n"
                 "[SpeedRate2]\nnum=0\n[SpeedRate3]\nnum=4\n[SpeedRate4]\nnum=3\n");
  const auto simulator = std::make_unique<WindmillSimulator>();
  for (const std::array<std::uint16_t, 3>& input :
       {std::array<std::uint16_t, 3>{'0', '0', '0'}, {'9', '5', '1'}, {'3', '7', '9'}}) {
    simulator->inputPosition = input;
    simulator->PredictCandidates(0);
    for (const Place place : {kHundreds, kTens, kUnits}) {
      std::string row = CandidateRowText(*simulator, place);
      for (std::size_t i = 0; i + 1 < row.size(); ++i) {
        const int sector = SectorOfDigit(place, row[i] - '0');
        EXPECT_EQ(SectorOfDigit(place, row[i + 1] - '0'), (sector + 1) % 10) << row;
      }
      std::sort(row.begin(), row.end());
      EXPECT_EQ(row, "0123456789");
    }
  }
}

TEST_F(WindmillSimulatorTest, SingleModeComputesOnlyTheLastTriple) {
  std::vector<std::string> numbers(99, "555");
  numbers.back() = "123";
  const DrawHistory history = HistoryOf(numbers);
  const auto simulator = std::make_unique<WindmillSimulator>();
  simulator->drawNumber = 100;
  ASSERT_TRUE(simulator->RunDraws(history, false, 0));
  for (int t = 0; t < 98; ++t)
    EXPECT_EQ(WindmillSimulator::Triple(simulator->estimatedPositions, t), "000");
  EXPECT_EQ(WindmillSimulator::Triple(simulator->estimatedPositions, 98), "466");
  EXPECT_EQ(WindmillSimulator::Triple(simulator->winningPositions, 98), "123");
}

// With stop constant 000 and speed offset 0 the estimate of draw i is the
// winning number of draw i - 1 moved by the hit shift (5) in wheel positions.
TEST_F(WindmillSimulatorTest, AllDrawsModeEstimatesEveryDraw) {
  WriteFileBytes("type1.ini", "[EndPoint]\nnum=000\n");
  const DrawHistory history = HistoryOf({"123", "000", "905"});
  const auto simulator = std::make_unique<WindmillSimulator>();
  simulator->drawNumber = 4;
  ASSERT_TRUE(simulator->RunDraws(history, true, 3));
  EXPECT_EQ(WindmillSimulator::Triple(simulator->estimatedPositions, 0), "678");
  EXPECT_EQ(WindmillSimulator::Triple(simulator->estimatedPositions, 1), "555");
  EXPECT_EQ(WindmillSimulator::Triple(simulator->estimatedPositions, 2), "450");
  EXPECT_EQ(simulator->typeOfDraw[4], 0);
}

TEST_F(WindmillSimulatorTest, DrawOutsideTwoTo9999IsRefusedBeforeComputing) {
  const DrawHistory history = HistoryOf({"123"});
  for (const int draw : {1, 0, -5, 10000}) {
    const auto simulator = std::make_unique<WindmillSimulator>();
    simulator->drawNumber = draw;
    const Status run = simulator->RunDraws(history, true, 0);
    EXPECT_FALSE(run.ok()) << draw;
    EXPECT_NE(run.message().find(std::to_string(draw)), std::string::npos);
    EXPECT_EQ(simulator->winningPositions[0], '\0');
    EXPECT_EQ(HitShifts(*simulator), (std::array<int, 4>{}));
  }
}

// A hand-edited "./base.ini" that would make the reduction loop forever: the
// run ends with the construction diameter and step value.
TEST_F(WindmillSimulatorTest, UnusableBaseValuesComputeWithConstructionValues) {
  const DrawHistory history = HistoryOf({"123"});
  for (const char* base : {"[StepNum]\nnum=0\n", "[StepNum]\nnum=-4\n", "[Diameter]\nf=0\n",
                           "[Diameter]\nf=-30\n", "[Diameter]\nf=abc\n", "[Diameter]\nf=1e39\n"}) {
    WriteFileBytes("base.ini", base);
    const auto simulator = std::make_unique<WindmillSimulator>();
    simulator->drawNumber = 2;
    ASSERT_TRUE(simulator->RunDraws(history, false, 0));
    EXPECT_EQ(WindmillSimulator::Triple(simulator->estimatedPositions, 0), "466") << base;
  }
}

TEST_F(WindmillSimulatorTest, SetIndexOutsideZeroToFourSelectsSetZero) {
  WriteFileBytes("type1.ini", "[EndPoint]\nnum=111\n[SpeedRate2]\nnum=3\n");
  const auto simulator = std::make_unique<WindmillSimulator>();
  for (const int index : {5, -1, 1000}) {
    simulator->SelectSettingsType(2);
    simulator->SelectSettingsType(index);
    EXPECT_STREQ(simulator->stopConstant.data(), "111") << index;
    EXPECT_EQ(simulator->speedOffset[kHundreds], 1);
  }
}

TEST_F(WindmillSimulatorTest, StopConstantPlaceThatIsNotADigitCountsAsZero) {
  const DrawHistory history = HistoryOf({"000"});  // wheel positions 0, 0, 0
  const auto simulator = std::make_unique<WindmillSimulator>();
  simulator->LoadWinningPositions(history, 2);
  simulator->speedOffset.fill(0);
  const std::array<std::pair<const char*, const char*>, 4> cases{
      {{"238", "238"}, {"12", "120"}, {"1a3", "103"}, {"", "000"}}};
  for (const auto& [stop, start] : cases) {
    simulator->stopConstant.fill('\0');
    std::copy_n(stop, std::char_traits<char>::length(stop), simulator->stopConstant.begin());
    simulator->ComputeStartPosition(2);
    EXPECT_EQ(WindmillSimulator::Triple(simulator->startPositions, 0), start) << stop;
  }
}

TEST_F(WindmillSimulatorTest, StartPositionWrapsBothWays) {
  const DrawHistory history = HistoryOf({"123"});  // wheel positions 9, 4, 3
  const auto simulator = std::make_unique<WindmillSimulator>();
  simulator->LoadWinningPositions(history, 2);
  simulator->stopConstant = {'9', '0', '0'};
  simulator->speedOffset = {0, 2, -2, -2};
  simulator->ComputeStartPosition(2);
  EXPECT_EQ(WindmillSimulator::Triple(simulator->startPositions, 0), "021");
}

TEST_F(WindmillSimulatorTest, OutOfRangePlaceStopsTheHitShiftInANewSimulator) {
  const auto simulator = std::make_unique<WindmillSimulator>();
  simulator->SelectSettingsType(0);
  simulator->startToReach[kTens] = 9.5f;
  EXPECT_FALSE(simulator->ComputeHitShift());
  EXPECT_EQ(HitShifts(*simulator), (std::array<int, 4>{0, 5, 0, 0}));
}

TEST_F(WindmillSimulatorTest, FailureAtTheTensKeepsTheEarlierShifts) {
  const auto simulator = std::make_unique<WindmillSimulator>();
  simulator->SelectSettingsType(0);
  ASSERT_TRUE(simulator->ComputeHitShift());
  simulator->startToReach.fill(0.0f);  // shift 7 where computed
  simulator->startToHit[kTens] = 8.99f;
  EXPECT_FALSE(simulator->ComputeHitShift());
  EXPECT_EQ(HitShifts(*simulator), (std::array<int, 4>{0, 7, 5, 5}));
}

TEST_F(WindmillSimulatorTest, BoundaryValuesAreAcceptedAndNaNIsNot) {
  const auto simulator = std::make_unique<WindmillSimulator>();
  simulator->SelectSettingsType(0);
  simulator->startToReach = {0, 9.0f, 0.0f, 1.0f};
  simulator->startToHit = {0, 9.0f, 16.0f, 16.0f};
  ASSERT_TRUE(simulator->ComputeHitShift());
  EXPECT_EQ(HitShifts(*simulator), (std::array<int, 4>{0, 1, 1, 7}));
  simulator->startToHit[kUnits] = std::numeric_limits<float>::quiet_NaN();
  EXPECT_FALSE(simulator->ComputeHitShift());
}

}  // namespace
}  // namespace kitebar
