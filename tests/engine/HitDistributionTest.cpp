#include "engine/HitDistribution.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "support/CaseNames.h"

namespace kitebar {
namespace {

// P(X = k) for X binomial(n, p), from the closed form in extended precision.
long double BinomialProbability(int n, double p, int k) {
  return std::exp(std::lgamma(n + 1.0L) - std::lgamma(k + 1.0L) - std::lgamma(n - k + 1.0L) +
                  k * std::log(static_cast<long double>(p)) +
                  (n - k) * std::log1p(-static_cast<long double>(p)));
}

// The smallest k whose cumulative probability reaches `level`.
int QuantileOf(const std::vector<long double>& probabilities, double level) {
  long double cumulative = 0;
  for (std::size_t k = 0; k < probabilities.size(); ++k) {
    cumulative += probabilities[k];
    if (cumulative >= level - 1e-12)
      return static_cast<int>(k);
  }
  return static_cast<int>(probabilities.size()) - 1;
}

// Every tail (relative 1e-9 where above 1e-25) and both ends of the 95 % range.
void ExpectDistribution(const HitDistribution& actual, const std::vector<long double>& exact) {
  long double tail = 0;
  for (int k = static_cast<int>(exact.size()) - 1; k >= 0; --k) {
    tail += exact[static_cast<std::size_t>(k)];
    const auto expected = static_cast<double>(tail);
    if (expected > 1e-25)
      EXPECT_NEAR(actual.AtLeast(k), expected, expected * 1e-9 + 1e-15) << "P(X >= " << k << ")";
    else
      EXPECT_LT(actual.AtLeast(k), 1e-24) << "P(X >= " << k << ")";
  }
  EXPECT_EQ(actual.Quantile(0.025), QuantileOf(exact, 0.025));
  EXPECT_EQ(actual.Quantile(0.975), QuantileOf(exact, 0.975));
}

struct EqualChances {
  int draws;
  double chance;
};

class EqualChancesMatchTheBinomial : public ::testing::TestWithParam<EqualChances> {};

TEST_P(EqualChancesMatchTheBinomial, DrawByDrawAndAsOneGroup) {
  const auto [draws, chance] = GetParam();
  std::vector<long double> exact;
  for (int k = 0; k <= draws; ++k)
    exact.push_back(BinomialProbability(draws, chance, k));
  HitDistribution oneByOne(draws);
  for (int i = 0; i < draws; ++i)
    oneByOne.AddDraw(chance);
  ExpectDistribution(oneByOne, exact);
  HitDistribution grouped(draws);
  grouped.AddDraws(draws, chance);
  ExpectDistribution(grouped, exact);
}

INSTANTIATE_TEST_SUITE_P(Binomials, EqualChancesMatchTheBinomial,
                         ::testing::Values(EqualChances{1, 0.3}, EqualChances{10, 0.1},
                                           EqualChances{100, 0.01}, EqualChances{2000, 0.032},
                                           EqualChances{7087, 0.01}, EqualChances{7087, 0.1},
                                           EqualChances{500, 0.5}),
                         [](const ::testing::TestParamInfo<EqualChances>& info) {
                           return test::CaseName(std::to_string(info.param.draws) + " draws at " +
                                                     std::to_string(info.param.chance),
                                                 info.index);
                         });

class UnequalChancesMatchEnumeration : public ::testing::TestWithParam<std::vector<double>> {};

// Every outcome of a few draws enumerated; equal neighbours are also added
// as one group, to a distribution told of too few draws (it grows).
TEST_P(UnequalChancesMatchEnumeration, DrawByDrawAndInGroups) {
  const std::vector<double>& chances = GetParam();
  const auto draws = static_cast<int>(chances.size());
  std::vector<long double> exact(chances.size() + 1, 0.0L);
  for (unsigned outcome = 0; outcome < (1u << draws); ++outcome) {
    long double probability = 1;
    for (int i = 0; i < draws; ++i) {
      const double chance = chances[static_cast<std::size_t>(i)];
      probability *= (outcome >> i) & 1u ? chance : 1 - chance;
    }
    exact[static_cast<std::size_t>(__builtin_popcount(outcome))] += probability;
  }
  HitDistribution oneByOne(draws);
  HitDistribution grouped(1);
  for (std::size_t i = 0; i < chances.size();) {
    std::size_t end = i;
    for (; end < chances.size() && chances[end] == chances[i]; ++end)
      oneByOne.AddDraw(chances[end]);
    grouped.AddDraws(static_cast<int>(end - i), chances[i]);
    i = end;
  }
  ExpectDistribution(oneByOne, exact);
  ExpectDistribution(grouped, exact);
}

INSTANTIATE_TEST_SUITE_P(
    SmallSets, UnequalChancesMatchEnumeration,
    ::testing::Values(std::vector<double>{0.5, 0.25, 0.125},
                      std::vector<double>{0.01, 0.02, 0.03, 0.04, 0.05, 0.06, 0.07, 0.08, 0.09, 0.1,
                                          0.11, 0.12},
                      std::vector<double>{0.032, 0.032, 0.032, 0.05, 0.05, 0.1, 0.1, 0.1, 0.1},
                      std::vector<double>{0.3, 1.0, 0.0, 0.7, 1.0, 1.0, 0.3}),
    [](const ::testing::TestParamInfo<std::vector<double>>& info) {
      return test::CaseName(
          std::to_string(info.param.size()) + " draws from " + std::to_string(info.param.front()),
          info.index);
    });

}  // namespace
}  // namespace kitebar
