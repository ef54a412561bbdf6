#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "engine/HitDistribution.h"
#include "engine/WalkForward.h"

namespace kitebar {

inline constexpr int kAdjustedPHistories = 10000;
inline constexpr std::uint64_t kAdjustedPSeed = 20260101;
inline constexpr int kMaximumAdjustedPThreads = 256;
// The chances a kind's candidate sets can have: three for box, one else.
inline constexpr int kMaxChanceLevels = 3;

// Whether, on one history of winning numbers, the best rule class of a kind
// has a training p-value at most the observed one. Built once per kind,
// number of tested draws and observed p-value; then each history costs a
// table look-up per draw and exact tails for the few rules that could reach
// the observed p-value.
class BestRuleJudge {
 public:
  BestRuleJudge(HitKind kind, int testedDraws, double observedP);

  // `numbers` (000 to 999) are the winning numbers of testedDraws + 1
  // consecutive draws: every draw after the first is tested.
  bool BestReaches(std::span<const int> numbers);

  // P(X >= hits) for X the chance hits of a rule class whose tested draws
  // fall `drawsAtLevel[l]` times on chance level l (see levels()).
  double Tail(std::span<const int> drawsAtLevel, int hits);
  // The chances a kind's candidate sets can have, in thousandths, ascending.
  const std::vector<int>& levels() const { return levels_; }
  // With one chance level: the fewest hits whose p-value reaches the
  // observed one (one more than the draws when none does).
  int fewestReachingHits() const { return singleLevelThreshold_; }

 private:
  // The hits of every class and the draws after each previous step code.
  void CountHits(std::span<const int> numbers);
  // Whether a class of several chance levels reaches the observed p-value.
  bool SomeClassReaches();
  bool Reaches(std::span<const int> drawsAtLevel, int hits);

  HitKind kind_;
  int testedDraws_;
  double observedP_;
  int classes_;
  std::vector<int> levels_;
  // The step codes of each level, and the level with the most of them.
  std::vector<std::vector<int>> codesOfLevel_;
  std::size_t commonestLevel_ = 0;
  // With one chance level every class's p-value follows from its hits alone:
  // the fewest hits that reach the observed p-value.
  int singleLevelThreshold_ = 0;
  // Classes whose normal score falls below this cannot reach the observed
  // p-value and are not worked out exactly.
  double scoreCut_ = 0;
  HitDistribution head_;
  HitDistribution last_;
  std::vector<double> lastTail_;
  std::vector<int> hits_;
  std::vector<std::array<int, kMaxChanceLevels>> profiles_;
  std::vector<std::pair<double, int>> contenders_;
  std::array<int, kStepCodeCount> previousCodes_{};
};

struct AdjustedPRequest {
  HitKind kind = HitKind::kBox;
  int testedDraws = 0;
  double observedP = 1;
  int histories = kAdjustedPHistories;
  std::uint64_t seed = kAdjustedPSeed;
  int threads = 1;
  const std::atomic<bool>* stop = nullptr;  // looked at between groups of histories
};

struct AdjustedP {
  double p = 1;
  // Worked out exactly (straight and mini), or estimated from simulated
  // histories (box): `reached` of `histories` had a best rule as good.
  bool exact = false;
  int histories = 0;
  int reached = 0;
  // The one-sided 95 % upper bound on p (Clopper-Pearson): p itself when
  // exact.
  double upperBound = 1;
  bool stopped = false;
};

// P(the largest of `rules` counts reaches `best`) when each of `draws` draws
// falls on one of the rules, each with the same chance, independently: the
// counts are multinomial. Exact, through the counts as independent Poisson
// variables conditioned on their sum.
double ChanceBestReaches(int draws, int rules, int best);

// The one-sided 95 % upper bound of Clopper and Pearson on a chance seen
// `reached` times in `trials`.
double UpperBoundOfShare(int reached, int trials);

// The probability that on a history of as many tested draws, each winning
// number drawn uniformly from 000 to 999 and independently, the best rule
// class has a p-value at most `observedP`. Every draw's winning number is a
// straight of exactly one rule and a mini of exactly one class, so for those
// kinds it is ChanceBestReaches; a box may fall on several rules or none,
// and its value is estimated from `histories` simulated histories
// (SimulateAdjustedP).
AdjustedP AdjustPValue(const AdjustedPRequest& request);

// The estimate from simulated histories, for any kind. History h's numbers
// come from the seed and h alone, and each group of histories is counted in
// a place of its own, so the result is the same for any thread count.
AdjustedP SimulateAdjustedP(const AdjustedPRequest& request);

}  // namespace kitebar
