#include "engine/AdjustedPValue.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "common/WorkerPool.h"
#include "engine/RandomStream.h"
#include "engine/RuleSearch.h"

namespace kitebar {
namespace {

constexpr int kHistoriesPerGroup = 64;
// Two p-values that differ only in their last bits (the same tail summed in
// another order) count as equal.
constexpr double kSameP = 1 + 1e-9;
// The normal score of a rule class against chance is off from its exact
// tail by well under this many standard deviations (continuity and skew),
// with room to spare for few expected hits.
constexpr double kScoreMargin = 0.35;
constexpr double kSkewMargin = 2.0;
// A Poisson term below this share of the largest is left out of the exact
// adjusted p-value: all of them together move it by far less than 1e-20.
constexpr double kNegligibleTerm = 1e-40;
constexpr double kUnionBoundExact = 1e-6;
constexpr double kBoundTail = 0.05;
constexpr int kBisectionSteps = 60;

struct CodeTables {
  // difference[a][b]: a less b, digit by digit (SubtractStepCodes), looked up
  // rather than divided out in the innermost loop.
  std::array<std::array<std::uint8_t, kStepCodeCount>, kStepCodeCount> difference{};
  std::array<std::uint8_t, kNumberCount> code{};
  // The step codes of the other orderings of a number's digits that are no
  // straight: a set with one of them is a box hit.
  std::array<std::array<std::uint8_t, 6>, kNumberCount> boxCodes{};
  std::array<std::uint8_t, kNumberCount> boxCodeCount{};
};

const CodeTables& Tables() {
  static const CodeTables tables = [] {
    CodeTables t;
    for (int a = 0; a < kStepCodeCount; ++a) {
      for (int b = 0; b < kStepCodeCount; ++b) {
        t.difference[static_cast<std::size_t>(a)][static_cast<std::size_t>(b)] =
            static_cast<std::uint8_t>(SubtractStepCodes(a, b));
      }
    }
    for (int number = 0; number < kNumberCount; ++number) {
      const WinningShape shape = WinningShapeOf(number);
      const auto at = static_cast<std::size_t>(number);
      t.code[at] = shape.stepCode;
      for (int code = 0; code < kStepCodeCount; ++code) {
        const bool ordering =
            (shape.permutationCodes[static_cast<std::size_t>(code / 64)] >> (code % 64)) & 1u;
        if (ordering && code != shape.stepCode)
          t.boxCodes[at][t.boxCodeCount[at]++] = static_cast<std::uint8_t>(code);
      }
    }
    return t;
  }();
  return tables;
}

// The score x with P(Z >= x) = p for a standard normal Z, by bisection.
double NormalScoreOfTail(double p) {
  double low = -40;
  double high = 40;
  for (int step = 0; step < 100; ++step) {
    const double middle = (low + high) / 2;
    (0.5 * std::erfc(middle / std::sqrt(2.0)) > p ? low : high) = middle;
  }
  return low;
}

double LogPoisson(int count, double mean) {
  return count * std::log(mean) - mean - std::lgamma(count + 1.0);
}

}  // namespace

BestRuleJudge::BestRuleJudge(HitKind kind, int testedDraws, double observedP)
    : kind_(kind),
      testedDraws_(std::max(testedDraws, 0)),
      observedP_(observedP * kSameP),
      classes_(RuleClassCount(kind)),
      head_(testedDraws_),
      last_(testedDraws_),
      lastTail_(static_cast<std::size_t>(testedDraws_) + 2),
      hits_(static_cast<std::size_t>(classes_)) {
  const CandidateSets& sets = CandidateSets::Get();
  for (int code = 0; code < kStepCodeCount; ++code)
    levels_.push_back(ChanceOf(sets.Chances(code), kind));
  std::sort(levels_.begin(), levels_.end());
  levels_.erase(std::unique(levels_.begin(), levels_.end()), levels_.end());
  codesOfLevel_.resize(levels_.size());
  for (int code = 0; code < kStepCodeCount; ++code) {
    const int chance = ChanceOf(sets.Chances(code), kind);
    const auto level = static_cast<std::size_t>(
        std::lower_bound(levels_.begin(), levels_.end(), chance) - levels_.begin());
    codesOfLevel_[level].push_back(code);
  }
  for (std::size_t level = 0; level < levels_.size(); ++level) {
    if (codesOfLevel_[level].size() > codesOfLevel_[commonestLevel_].size())
      commonestLevel_ = level;
  }
  if (levels_.size() == 1) {
    // The tail falls as the hits rise: the fewest hits whose tail reaches
    // the observed p-value, by bisection (none: one more than the draws).
    const std::array<int, 1> all{testedDraws_};
    int low = 0;
    int high = testedDraws_ + 1;
    while (low < high) {
      const int middle = (low + high) / 2;
      if (Tail(all, middle) <= observedP_)
        high = middle;
      else
        low = middle + 1;
    }
    singleLevelThreshold_ = low;
  }
  const double fewestExpected = testedDraws_ * levels_.front() / 1000.0;
  scoreCut_ = NormalScoreOfTail(std::min(observedP, 0.5)) - kScoreMargin -
              kSkewMargin / std::sqrt(std::max(fewestExpected, 1.0));
}

double BestRuleJudge::Tail(std::span<const int> drawsAtLevel, int hits) {
  if (hits <= 0)
    return 1.0;
  const std::size_t lastLevel = drawsAtLevel.size() - 1;
  head_.Reset();
  for (std::size_t level = 0; level < lastLevel; ++level)
    head_.AddDraws(drawsAtLevel[level], levels_[level] / 1000.0);
  last_.Reset();
  last_.AddDraws(drawsAtLevel[lastLevel], levels_[lastLevel] / 1000.0);
  // P(last >= k) for k from last's lowest to its highest + 1.
  const int lowest = last_.lowest();
  const int width = last_.highest() - lowest + 1;
  lastTail_.assign(static_cast<std::size_t>(width) + 1, 0.0);
  for (int k = width - 1; k >= 0; --k) {
    lastTail_[static_cast<std::size_t>(k)] =
        lastTail_[static_cast<std::size_t>(k) + 1] + last_.Probability(lowest + k);
  }
  double tail = 0;
  for (int k = head_.highest(); k >= head_.lowest(); --k) {
    const int needed = hits - k - lowest;
    const double lastAtLeast =
        needed <= 0 ? 1.0 : (needed >= width ? 0.0 : lastTail_[static_cast<std::size_t>(needed)]);
    tail += head_.Probability(k) * lastAtLeast;
  }
  return std::min(tail, 1.0);
}

bool BestRuleJudge::Reaches(std::span<const int> drawsAtLevel, int hits) {
  if (levels_.size() == 1)
    return hits >= singleLevelThreshold_;
  return Tail(drawsAtLevel, hits) <= observedP_;
}

bool BestRuleJudge::BestReaches(std::span<const int> numbers) {
  if (observedP_ >= 1)
    return true;
  CountHits(numbers);
  if (levels_.size() == 1)
    return *std::max_element(hits_.begin(), hits_.end()) >= singleLevelThreshold_;
  return SomeClassReaches();
}

void BestRuleJudge::CountHits(std::span<const int> numbers) {
  const CodeTables& tables = Tables();
  std::fill(hits_.begin(), hits_.end(), 0);
  previousCodes_.fill(0);
  const std::size_t draws = std::min(numbers.size(), static_cast<std::size_t>(testedDraws_) + 1);
  for (std::size_t n = 1; n < draws; ++n) {
    const auto previous = static_cast<std::size_t>(numbers[n - 1]);
    const auto winning = static_cast<std::size_t>(numbers[n]);
    const std::size_t previousCode = tables.code[previous];
    ++previousCodes_[previousCode];
    switch (kind_) {
      case HitKind::kStraight:
        ++hits_[tables.difference[tables.code[winning]][previousCode]];
        break;
      case HitKind::kBox:
        for (int b = 0; b < tables.boxCodeCount[winning]; ++b)
          ++hits_[tables.difference[tables.boxCodes[winning][static_cast<std::size_t>(b)]]
                                   [previousCode]];
        break;
      case HitKind::kMini:
        ++hits_[tables.difference[tables.code[winning]][previousCode] % 10];
        break;
    }
  }
}

bool BestRuleJudge::SomeClassReaches() {
  // Every class's draws per chance level, its normal score, and the exact
  // tails of the classes that score high enough, highest first.
  const CodeTables& tables = Tables();
  profiles_.resize(static_cast<std::size_t>(classes_));
  contenders_.clear();
  for (int ruleClass = 0; ruleClass < classes_; ++ruleClass) {
    std::array<int, kMaxChanceLevels>& profile = profiles_[static_cast<std::size_t>(ruleClass)];
    // The draws whose set falls on each level but the commonest: those
    // after the previous codes that the class moves onto the level's codes.
    profile.fill(0);
    int rest = testedDraws_;
    for (std::size_t level = 0; level < levels_.size(); ++level) {
      if (level == commonestLevel_)
        continue;
      for (const int code : codesOfLevel_[level]) {
        profile[level] += previousCodes_[tables.difference[static_cast<std::size_t>(code)]
                                                          [static_cast<std::size_t>(ruleClass)]];
      }
      rest -= profile[level];
    }
    profile[commonestLevel_] = rest;
    double mean = 0;
    double variance = 0;
    for (std::size_t level = 0; level < levels_.size(); ++level) {
      const double chance = levels_[level] / 1000.0;
      mean += profile[level] * chance;
      variance += profile[level] * chance * (1 - chance);
    }
    const int hits = hits_[static_cast<std::size_t>(ruleClass)];
    const double score = (hits - 0.5 - mean) / std::sqrt(std::max(variance, 1e-12));
    if (hits > 0 && score >= scoreCut_)
      contenders_.emplace_back(-score, ruleClass);
  }
  std::sort(contenders_.begin(), contenders_.end());
  for (const auto& [negativeScore, ruleClass] : contenders_) {
    const std::array<int, kMaxChanceLevels>& profile =
        profiles_[static_cast<std::size_t>(ruleClass)];
    if (Reaches(std::span<const int>(profile.data(), levels_.size()),
                hits_[static_cast<std::size_t>(ruleClass)]))
      return true;
  }
  return false;
}

double ChanceBestReaches(int draws, int rules, int best) {
  if (best <= 0)
    return 1;
  if (best > draws || rules <= 0)
    return 0;
  const int most = best - 1;  // every count at most this
  if (static_cast<long long>(most) * rules < draws)
    return 1;
  // The union bound, rules x P(one count >= best), is the answer when no two
  // counts can both reach best, and within half its square of it otherwise
  // (multinomial counts are negatively associated): exact to twelve
  // decimals once it is below 1e-6, where the sum below would be slow.
  HitDistribution one(draws);
  one.AddDraws(draws, 1.0 / rules);
  const double unionBound = rules * one.AtLeast(best);
  if (2 * best > draws || unionBound < kUnionBoundExact)
    return std::min(unionBound, 1.0);
  // With Y_i independent Poisson of mean draws / rules, P(every count <=
  // most) = P(every Y_i <= most | the Y_i sum to draws) = q^rules P(T =
  // draws) / P(the sum = draws), q = P(Y_i <= most) and T the sum of the Y_i
  // each conditioned on Y_i <= most. The terms are kept relative to the
  // largest, so nothing underflows.
  const double mean = static_cast<double>(draws) / rules;
  const int mode = std::min(most, static_cast<int>(mean));
  const double logLargest = LogPoisson(mode, mean);
  std::vector<double> term;
  for (int count = 0; count <= most; ++count) {
    const double relative = std::exp(LogPoisson(count, mean) - logLargest);
    if (count > mode && relative < kNegligibleTerm)
      break;
    term.push_back(relative);
  }
  const double termSum = std::accumulate(term.begin(), term.end(), 0.0);
  for (double& value : term)
    value /= termSum;
  const int top = static_cast<int>(term.size()) - 1;
  // T's distribution over the sums from `lowest` on, one rule at a time:
  // only sums from which the rules still to come can reach `draws` are kept.
  std::vector<double> sum{1.0};
  std::vector<double> next;
  int lowest = 0;
  for (int added = 1; added <= rules; ++added) {
    const long long reachable = static_cast<long long>(rules - added) * top;
    const int from = static_cast<int>(std::max<long long>(0, draws - reachable));
    const int to = std::min(draws, lowest + static_cast<int>(sum.size()) - 1 + top);
    if (to < from)
      return 1;
    next.assign(static_cast<std::size_t>(to - from + 1), 0.0);
    const int held = static_cast<int>(sum.size());
    for (int count = 0; count <= top; ++count) {
      // The sums s with from <= lowest + s + count <= to.
      const int first = std::max(0, from - lowest - count);
      const int last = std::min(held - 1, to - lowest - count);
      const double weight = term[static_cast<std::size_t>(count)];
      double* out = next.data() + (lowest + count - from);
      for (int at = first; at <= last; ++at)
        out[at] += sum[static_cast<std::size_t>(at)] * weight;
    }
    sum.swap(next);
    lowest = from;
  }
  const double atDraws = sum[static_cast<std::size_t>(draws - lowest)];
  if (!(atDraws > 0))
    return 1;
  const double logEveryBelow = rules * (logLargest + std::log(termSum)) + std::log(atDraws) -
                               LogPoisson(draws, static_cast<double>(draws));
  return std::clamp(-std::expm1(logEveryBelow), 0.0, 1.0);
}

double UpperBoundOfShare(int reached, int trials) {
  if (trials <= 0 || reached >= trials)
    return 1;
  // The chance at which `reached` or fewer come up in 5 % of runs.
  HitDistribution binomial(trials);
  double low = static_cast<double>(std::max(reached, 0)) / trials;
  double high = 1;
  for (int step = 0; step < kBisectionSteps; ++step) {
    const double middle = (low + high) / 2;
    binomial.Reset();
    binomial.AddDraws(trials, middle);
    (1 - binomial.AtLeast(reached + 1) > kBoundTail ? low : high) = middle;
  }
  return high;
}

AdjustedP AdjustPValue(const AdjustedPRequest& request) {
  if (request.kind == HitKind::kBox)
    return SimulateAdjustedP(request);
  const int draws = std::max(request.testedDraws, 0);
  const BestRuleJudge judge(request.kind, draws, request.observedP);
  AdjustedP result;
  // A stop asked for while it was worked out counts as for the simulation.
  if (request.stop != nullptr && request.stop->load(std::memory_order_relaxed)) {
    result.stopped = true;
    return result;
  }
  result.exact = true;
  result.p = ChanceBestReaches(draws, RuleClassCount(request.kind), judge.fewestReachingHits());
  result.upperBound = result.p;
  return result;
}

AdjustedP SimulateAdjustedP(const AdjustedPRequest& request) {
  const int histories = std::max(request.histories, 1);
  const int groups = (histories + kHistoriesPerGroup - 1) / kHistoriesPerGroup;
  std::vector<int> reached(static_cast<std::size_t>(groups), -1);
  WorkerPool pool(std::clamp(request.threads, 1, kMaximumAdjustedPThreads));
  pool.ForEach(groups, [&](int group) {
    if (request.stop != nullptr && request.stop->load(std::memory_order_relaxed))
      return;
    BestRuleJudge judge(request.kind, request.testedDraws, request.observedP);
    std::vector<int> numbers(static_cast<std::size_t>(request.testedDraws) + 1);
    int count = 0;
    const int first = group * kHistoriesPerGroup;
    for (int history = first; history < std::min(first + kHistoriesPerGroup, histories);
         ++history) {
      NumberStream stream(request.seed, history);
      for (int& number : numbers)
        number = stream.Next();
      count += judge.BestReaches(numbers) ? 1 : 0;
    }
    reached[static_cast<std::size_t>(group)] = count;
  });
  AdjustedP result;
  if (std::find(reached.begin(), reached.end(), -1) != reached.end()) {
    result.stopped = true;
    return result;
  }
  result.histories = histories;
  result.reached = std::accumulate(reached.begin(), reached.end(), 0);
  result.p = static_cast<double>(result.reached) / histories;
  result.upperBound = UpperBoundOfShare(result.reached, histories);
  return result;
}

}  // namespace kitebar
