#include "engine/SimultaneousBand.h"

#include <algorithm>

#include "engine/CandidateSets.h"
#include "engine/HitDistribution.h"
#include "engine/RandomStream.h"

namespace kitebar {
namespace {

// One distribution kept as its lowest count and cumulative sums.
struct Cumulative {
  int lowest = 0;
  std::vector<double> atMost;   // P(X <= lowest + i)
  std::vector<double> atLeast;  // P(X >= lowest + i)

  explicit Cumulative(const HitDistribution& distribution) : lowest(distribution.lowest()) {
    const int width = distribution.highest() - lowest + 1;
    atMost.resize(static_cast<std::size_t>(width));
    atLeast.resize(static_cast<std::size_t>(width));
    double sum = 0;
    for (int i = 0; i < width; ++i) {
      sum += distribution.Probability(lowest + i);
      atMost[static_cast<std::size_t>(i)] = sum;
    }
    sum = 0;
    for (int i = width - 1; i >= 0; --i) {
      sum += distribution.Probability(lowest + i);
      atLeast[static_cast<std::size_t>(i)] = sum;
    }
  }

  int highest() const { return lowest + static_cast<int>(atMost.size()) - 1; }
  // The smaller of the two tails at k: how far out in either tail k lies.
  double Depth(int k) const {
    if (k < lowest || k > highest())
      return 0;
    const auto at = static_cast<std::size_t>(k - lowest);
    return std::min(atMost[at], atLeast[at]);
  }
  // A count drawn by the inverse of the distribution function.
  int Draw(double unit) const {
    const auto at = std::upper_bound(atMost.begin(), atMost.end(), unit);
    return lowest + static_cast<int>(std::min<std::ptrdiff_t>(
                        at - atMost.begin(), static_cast<std::ptrdiff_t>(atMost.size()) - 1));
  }
};

}  // namespace

std::vector<HitsRange> SimultaneousBand(std::span<const int> chances,
                                        std::span<const int> pointAfter, int histories,
                                        std::uint64_t seed) {
  const auto draws = static_cast<int>(chances.size());
  HitDistribution sofar(draws);
  HitDistribution stretch(draws);
  std::vector<Cumulative> points;
  std::vector<Cumulative> stretches;
  int next = 0;
  for (const int after : pointAfter) {
    stretch.Reset();
    for (; next <= after && next < draws; ++next) {
      const double chance = chances[static_cast<std::size_t>(next)] / double{kChanceDenominator};
      sofar.AddDraw(chance);
      stretch.AddDraw(chance);
    }
    points.emplace_back(sofar);
    stretches.emplace_back(stretch);
  }
  // How deep into a tail each simulated course goes at its deepest point.
  std::vector<double> deepest(static_cast<std::size_t>(std::max(histories, 1)));
  for (std::size_t history = 0; history < deepest.size(); ++history) {
    RandomStream random(seed, static_cast<std::int64_t>(history));
    int hits = 0;
    double depth = 1;
    for (std::size_t point = 0; point < points.size(); ++point) {
      hits += stretches[point].Draw(random.Unit());
      depth = std::min(depth, points[point].Depth(hits));
    }
    deepest[history] = depth;
  }
  // The level that at most 5 % of the courses go below.
  const auto outside =
      static_cast<std::size_t>((1 - kBandCoverage) * static_cast<double>(deepest.size()));
  std::nth_element(deepest.begin(), deepest.begin() + static_cast<std::ptrdiff_t>(outside),
                   deepest.end());
  const double level = deepest[outside];
  std::vector<HitsRange> band;
  band.reserve(points.size());
  for (const Cumulative& point : points) {
    HitsRange range{point.lowest, point.highest()};
    while (range.low < range.high && point.Depth(range.low) < level)
      ++range.low;
    while (range.high > range.low && point.Depth(range.high) < level)
      --range.high;
    band.push_back(range);
  }
  return band;
}

}  // namespace kitebar
