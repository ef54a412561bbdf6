#include "engine/Evaluation.h"

#include <gtest/gtest.h>

#include <string>

#include "common/NumberText.h"
#include "history/DrawHistory.h"
#include "support/CaseNames.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::TempWorkingDirectory;
using test::WriteFileBytes;

class EvaluationTest : public ::testing::Test {
 protected:
  Evaluation Evaluate(std::string_view historyFile, const EvaluationRequest& request = {}) {
    WriteFileBytes(kHistoryFileName, historyFile);
    EXPECT_TRUE(history_.Load().ok());
    Result<Evaluation> evaluation = EvaluateHistory(history_, request);
    EXPECT_TRUE(evaluation.ok()) << evaluation.message();
    return evaluation.ok() ? evaluation.value() : Evaluation{};
  }

  TempWorkingDirectory folder_;
  DrawHistory history_;
};

struct OneDraw {
  const char* winning;
  std::array<int, kHitKindCount> hits;  // straight, box, mini
};

class OneDrawAfterTheWorkedExample : public EvaluationTest,
                                     public ::testing::WithParamInterface<OneDraw> {};

// Draw 2 after 123 with the defaults is offered 911, 842, 773, 604, 535, 466,
// 397, 228, 159 and 080: chances 0.01, 0.032 and 0.1, and the p-value of a
// single draw is its chance when it hits and 1 when it does not.
TEST_P(OneDrawAfterTheWorkedExample, HitsChancesPValuesAndRanges) {
  const Evaluation e = Evaluate(std::string("0001,123\r\n0002,") + GetParam().winning + "\r\n");
  EXPECT_EQ(e.draws, 1);
  const std::array<double, kHitKindCount> chances{0.01, 0.032, 0.1};
  for (std::size_t kind = 0; kind < kHitKindCount; ++kind) {
    const KindSummary& summary = e.kinds[kind];
    EXPECT_EQ(summary.hits, GetParam().hits[kind]) << "kind " << kind;
    EXPECT_DOUBLE_EQ(summary.expected, chances[kind]);
    EXPECT_NEAR(summary.pValue, summary.hits == 1 ? chances[kind] : 1.0, 1e-15);
    EXPECT_EQ(summary.chanceLow, 0);
    // P(X = 0) is 0.99 for straight, below 0.975 for box and mini.
    EXPECT_EQ(summary.chanceHigh, kind == 0 ? 0 : 1);
  }
}

INSTANTIATE_TEST_SUITE_P(WinningNumbers, OneDrawAfterTheWorkedExample,
                         ::testing::Values(OneDraw{"466", {1, 0, 1}}, OneDraw{"664", {0, 1, 0}},
                                           OneDraw{"166", {0, 0, 1}}, OneDraw{"080", {1, 0, 1}},
                                           OneDraw{"000", {0, 0, 0}}),
                         [](const ::testing::TestParamInfo<OneDraw>& info) {
                           return test::CaseName(std::string("Winning ") + info.param.winning,
                                                 info.index);
                         });

// Draw 4 is missing, so draws 4 and 5 cannot be tested; draw 6 has a stored
// position that is not three digits, which counts only when stored positions
// are used.
constexpr char kGappedHistory[] =
    "0001,123\r\n0002,456,111,1\r\n0003,789,222,0\r\n0005,321\r\n0006,654,1x3,0\r\n0007,987\r\n";

TEST_F(EvaluationTest, SkipsDrawsWithoutNumbersAndCountsStoredPositions) {
  const Evaluation estimated = Evaluate(kGappedHistory);
  EXPECT_EQ(estimated.range.to, 7);
  EXPECT_EQ(estimated.draws, 4);
  EXPECT_EQ(estimated.skipped, 2);
  EXPECT_EQ(estimated.storedPositions, 0);
  const Evaluation stored = Evaluate(kGappedHistory, {0, 0, -1, PositionSource::kStoredWhereGiven});
  EXPECT_EQ(stored.draws, 3);
  EXPECT_EQ(stored.skipped, 3);
  EXPECT_EQ(stored.storedPositions, 2);
  EXPECT_EQ(stored.decidedPositions, 1);
}

// The course ends at the last tested draw with the totals, and chance's band
// holds zero at every point.
TEST_F(EvaluationTest, CourseEndsWithTheTotals) {
  std::string file;
  for (int n = 1; n <= 900; ++n)
    file += FormatZeroPadded(n, 4) + "," + FormatZeroPadded((n * 389 + 17) % 1000, 3) + "\r\n";
  const Evaluation e = Evaluate(file);
  for (std::size_t kind = 0; kind < kHitKindCount; ++kind) {
    const std::vector<CoursePoint>& course = e.courses[kind];
    ASSERT_FALSE(course.empty());
    EXPECT_LE(course.size(), static_cast<std::size_t>(kCoursePoints));
    const KindSummary& total = e.kinds[kind];
    EXPECT_EQ(course.back().drawNumber, 900);
    EXPECT_NEAR(course.back().excess, total.hits - total.expected, 1e-9);
    EXPECT_NEAR(course.back().low, total.chanceLow - total.expected, 1e-9);
    EXPECT_NEAR(course.back().high, total.chanceHigh - total.expected, 1e-9);
    // The band of the whole course holds the band of each draw.
    for (const CoursePoint& point : course) {
      EXPECT_TRUE(point.low <= 0 && point.high >= 0) << point.drawNumber;
      EXPECT_TRUE(point.allLow <= point.low && point.allHigh >= point.high) << point.drawNumber;
    }
  }
}

}  // namespace
}  // namespace kitebar
