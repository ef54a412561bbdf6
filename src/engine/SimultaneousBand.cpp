#include "engine/SimultaneousBand.h"

#include <algorithm>
#include <cstddef>

#include "engine/CandidateSets.h"
#include "engine/HitDistribution.h"
#include "engine/RandomStream.h"

namespace kitebar {
namespace {

constexpr std::size_t kBuckets = 64;

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
  // A count drawn by the inverse of the distribution function; `start`
  // (see Starts) is where the search may begin for `unit`.
  int Draw(double unit, std::size_t start) const {
    const std::size_t last = atMost.size() - 1;
    std::size_t at = start;
    while (at < last && atMost[at] <= unit)
      ++at;
    return lowest + static_cast<int>(at);
  }
  // For each of kBuckets equal slices of [0, 1), the first count whose
  // distribution function passes the slice's start: a draw then looks at a
  // count or two, not at the whole table.
  std::vector<std::size_t> Starts() const {
    std::vector<std::size_t> starts(kBuckets);
    std::size_t at = 0;
    for (std::size_t bucket = 0; bucket < kBuckets; ++bucket) {
      const double from = static_cast<double>(bucket) / kBuckets;
      while (at + 1 < atMost.size() && atMost[at] <= from)
        ++at;
      starts[bucket] = at;
    }
    return starts;
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
  std::vector<std::vector<std::size_t>> starts;
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
    starts.push_back(stretches.back().Starts());
  }
  // How deep into a tail each simulated course goes at its deepest point.
  std::vector<double> deepest(static_cast<std::size_t>(std::max(histories, 1)));
  for (std::size_t history = 0; history < deepest.size(); ++history) {
    RandomStream random(seed, static_cast<std::int64_t>(history));
    int hits = 0;
    double depth = 1;
    for (std::size_t point = 0; point < points.size(); ++point) {
      const double unit = random.Unit();
      const auto bucket = static_cast<std::size_t>(unit * kBuckets);
      hits += stretches[point].Draw(unit, starts[point][bucket]);
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
