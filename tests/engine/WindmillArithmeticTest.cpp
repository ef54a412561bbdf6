#include "engine/WindmillArithmetic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>

#include "support/CaseNames.h"

namespace kitebar {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(WindmillArithmetic, DefaultWheelMeasuresInSinglePrecision) {
  const WheelGeometry wheel = MeasureWheel(30.0f);
  EXPECT_EQ(wheel.circumference, 94.248001f);
  EXPECT_EQ(wheel.sectorLength, 9.4248f);
}

struct ReachCase {
  float startToReach;
  int ticks;
  friend void PrintTo(const ReachCase& c, std::ostream* os) { *os << "reach " << c.startToReach; }
};

class ReachPhaseCount : public ::testing::TestWithParam<ReachCase> {};

// The ticks of 0.11 (single precision) are summed in double precision: after
// nine ticks the sum 0.99 is still below 1.0.
TEST_P(ReachPhaseCount, CountsTicksUntilTheSumReachesTheValue) {
  const ReachPhase phase = CountReachPhase(GetParam().startToReach);
  EXPECT_EQ(phase.ticks, GetParam().ticks);
  EXPECT_DOUBLE_EQ(phase.time, GetParam().ticks * static_cast<double>(0.11f));
}

INSTANTIATE_TEST_SUITE_P(Boundaries, ReachPhaseCount,
                         ::testing::Values(ReachCase{0.0f, 1}, ReachCase{0.11f, 1},
                                           ReachCase{1.0f, 10}, ReachCase{2.0f, 19},
                                           ReachCase{9.0f, 82}),
                         [](const testing::TestParamInfo<ReachCase>& info) {
                           return test::CaseName(testing::PrintToString(info.param), info.index);
                         });

TEST(WindmillArithmetic, HitPhaseRunsAtLeastOneTickAndAtMost146) {
  EXPECT_DOUBLE_EQ(CountHitPhaseTime(0.0f), static_cast<double>(0.11f));
  EXPECT_DOUBLE_EQ(CountHitPhaseTime(9.5f), 87 * static_cast<double>(0.11f));
  EXPECT_DOUBLE_EQ(CountHitPhaseTime(16.0f), 146 * static_cast<double>(0.11f));
}

TEST(WindmillArithmetic, AcceptedRangesIncludeTheirEndsAndRefuseNaN) {
  EXPECT_TRUE(IsStartToReachInRange(0.0f));
  EXPECT_TRUE(IsStartToReachInRange(9.0f));
  EXPECT_FALSE(IsStartToReachInRange(9.01f));
  EXPECT_FALSE(IsStartToReachInRange(-0.01f));
  EXPECT_FALSE(IsStartToReachInRange(kNaN));
  EXPECT_TRUE(IsStartToHitInRange(9.0f));
  EXPECT_TRUE(IsStartToHitInRange(16.0f));
  EXPECT_FALSE(IsStartToHitInRange(8.99f));
  EXPECT_FALSE(IsStartToHitInRange(16.01f));
  EXPECT_FALSE(IsStartToHitInRange(kNaN));
}

TEST(WindmillArithmetic, ReductionSubtractsInDoublePrecision) {
  const WheelGeometry wheel = MeasureWheel(30.0f);
  EXPECT_DOUBLE_EQ(ReduceByCircumference(297.825f, wheel.circumference), 15.081008911132812);
  EXPECT_DOUBLE_EQ(ReduceByCircumference(2871.0f, wheel.circumference), 43.559967041015625);
  EXPECT_EQ(ReduceByCircumference(wheel.circumference, wheel.circumference), 0.0);
  EXPECT_EQ(ReduceByCircumference(5.0f, wheel.circumference), 5.0);
}

TEST(WindmillArithmetic, ReductionThatCouldNeverEndReturnsTheValue) {
  EXPECT_EQ(ReduceByCircumference(5.0f, 0.0f), 5.0);
  EXPECT_EQ(ReduceByCircumference(5.0f, -1.0f), 5.0);
  EXPECT_TRUE(std::isinf(ReduceByCircumference(std::numeric_limits<float>::infinity(), 1.0f)));
}

TEST(WindmillArithmetic, UnusableDiameterOrStepFallsBackToConstructionValues) {
  for (const float bad : {0.0f, -1.0f, kNaN, std::numeric_limits<float>::infinity(), 3.0e38f}) {
    EXPECT_EQ(UsableDiameter(bad), 30.0f) << bad;
  }
  EXPECT_EQ(UsableDiameter(10.0f), 10.0f);
  EXPECT_EQ(UsableDiameter(123.4f), 123.4f);
  EXPECT_EQ(UsableStepNum(0), 40);
  EXPECT_EQ(UsableStepNum(-3), 40);
  EXPECT_EQ(UsableStepNum(1), 1);
}

struct HitShiftCase {
  float diameter;
  int stepNum;
  float startToReach;
  float startToHit;
  int hitShift;
  friend void PrintTo(const HitShiftCase& c, std::ostream* os) {
    *os << "D " << c.diameter << " S " << c.stepNum << " T " << c.startToReach << " K "
        << c.startToHit;
  }
};

class PlaceHitShift : public ::testing::TestWithParam<HitShiftCase> {};

TEST_P(PlaceHitShift, MatchesTheSectorCountAtItsRounding) {
  const HitShiftCase& c = GetParam();
  EXPECT_EQ(ComputePlaceHitShift(c.diameter, c.stepNum, c.startToReach, c.startToHit), c.hitShift);
}

// The first row is the defaults. The rows with diameter 10 and step 1 sit at
// sector boundaries: a reduction in single precision, ticks summed in single
// precision, or an unrounded hit span each give a different shift there.
INSTANTIATE_TEST_SUITE_P(
    Settings, PlaceHitShift,
    ::testing::Values(
        HitShiftCase{30.0f, 40, 2.0f, 11.5f, 5}, HitShiftCase{30.0f, 50, 2.0f, 11.5f, 9},
        HitShiftCase{30.0f, 40, 0.0f, 11.5f, 7}, HitShiftCase{30.0f, 40, 1.0f, 16.0f, 7},
        HitShiftCase{30.0f, 40, 9.0f, 9.0f, 1}, HitShiftCase{50.0f, 1, 9.0f, 16.0f, 7},
        HitShiftCase{10.0f, 99, 0.0f, 9.0f, 7}, HitShiftCase{45.5f, 7, 3.33f, 12.25f, 7},
        HitShiftCase{10.0f, 1, 7.75f, 9.0f, 2}, HitShiftCase{10.0f, 1, 0.13f, 9.37f, 8},
        HitShiftCase{10.0f, 1, 0.26f, 11.59f, 1}, HitShiftCase{10.0f, 1, 0.65f, 10.11f, 0}),
    [](const testing::TestParamInfo<HitShiftCase>& info) {
      return test::CaseName(testing::PrintToString(info.param), info.index);
    });

}  // namespace
}  // namespace kitebar
