#include "engine/CandidateSets.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/NumberText.h"
#include "engine/BackTest.h"

namespace kitebar {
namespace {

struct HandMadeSet {
  const char* name;
  std::vector<int> candidates;
  ChanceLevels chances;  // thousandths
};

class ChanceLevelsOfHandMadeSets : public ::testing::TestWithParam<HandMadeSet> {};

TEST_P(ChanceLevelsOfHandMadeSets, CountStraightBoxAndMiniNumbers) {
  EXPECT_EQ(ChanceLevelsOf(GetParam().candidates), GetParam().chances);
}

INSTANTIATE_TEST_SUITE_P(
    Sets, ChanceLevelsOfHandMadeSets,
    ::testing::Values(
        HandMadeSet{"DistinctDigits", {123}, {1, 5, 10}}, HandMadeSet{"Pair", {112}, {1, 2, 10}},
        HandMadeSet{"Triple", {777}, {1, 0, 10}}, HandMadeSet{"Repeated", {123, 123}, {1, 5, 10}},
        HandMadeSet{"TwoOfOneClass", {123, 321}, {2, 4, 20}},
        HandMadeSet{"WholeClass", {112, 121, 211}, {3, 0, 30}},
        HandMadeSet{"SharedMini", {123, 223}, {2, 7, 10}},
        HandMadeSet{"ClassesWithATriple", {555, 556, 565, 100}, {4, 3, 40}},
        HandMadeSet{
            "WorkedExample", {911, 842, 773, 604, 535, 466, 397, 228, 159, 80}, {10, 32, 100}}),
    [](const auto& info) { return std::string(info.param.name); });

// The comparison by step codes classifies as the back-test does, for every
// candidate set and a third of the winning numbers; the chances are those of
// the set's ten numbers.
TEST(CandidateSets, AgreeWithTheBackTestComparisonAndTheChanceLevels) {
  const CandidateSets& sets = CandidateSets::Get();
  std::vector<WinningDigits> digitsOf;
  std::vector<WinningShape> shapeOf;
  for (int number = 0; number < kNumberCount; ++number) {
    digitsOf.push_back(WinningDigitsOf(FormatZeroPadded(number, 3)));
    shapeOf.push_back(WinningShapeOf(number));
  }
  for (int key = 0; key < kNumberCount; ++key) {
    CandidateTable table{};
    std::vector<int> numbers;
    for (std::size_t k = 0; k < kCandidateCount; ++k) {
      numbers.push_back(sets.Candidate(key, static_cast<int>(k)));
      for (const Place place : {kHundreds, kTens, kUnits})
        table[place][k] =
            static_cast<std::uint16_t>(FormatZeroPadded(numbers.back(), 3)[place - 1]);
    }
    ASSERT_EQ(sets.Chances(sets.Code(key).stepCode), ChanceLevelsOf(numbers)) << "set " << key;
    for (std::size_t winning = static_cast<std::size_t>(key % 3); winning < kNumberCount;
         winning += 3) {
      const BackTestResult expected = CompareCandidates(table, digitsOf[winning]);
      const DrawOutcome outcome = Compare(sets.Code(key), shapeOf[winning]);
      ASSERT_TRUE(outcome.straight == (expected.main == '1') &&
                  outcome.box == (expected.main == '2') && outcome.mini == (expected.mini == '3'))
          << "set " << key << ", winning number " << winning;
    }
  }
}

}  // namespace
}  // namespace kitebar
