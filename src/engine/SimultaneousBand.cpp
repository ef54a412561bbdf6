#include "engine/SimultaneousBand.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

#include "common/WorkerPool.h"
#include "engine/CandidateSets.h"
#include "engine/HitDistribution.h"
#include "engine/RandomStream.h"

namespace kitebar {
namespace {

constexpr std::size_t kBuckets = 64;
constexpr int kHistoriesPerGroup = 64;
// Courses of the independent band simulated together, a point at a time.
constexpr int kCoursesPerGroup = 1000;
constexpr int kMaximumBandThreads = 256;
// The level is the depth that with 95 % confidence no more than 5 % of
// courses go below.
constexpr double kLevelConfidence = 0.05;
constexpr unsigned kWordBits = 64;

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

// The winning numbers that hit one set, as bits.
using HitRow = std::array<std::uint64_t, (kNumberCount + kWordBits - 1) / kWordBits>;

int HitOf(const HitRow& row, unsigned number) {
  return static_cast<int>((row[number / kWordBits] >> (number % kWordBits)) & 1u);
}

// What a simulated draw looks up: each set's hits and chance, and the same
// for the set offered after each winning number.
struct ProcessTables {
  std::array<HitRow, kStepCodeCount> setHits{};
  std::array<int, kStepCodeCount> setChance{};
  std::vector<HitRow> hitsAfter;
  std::vector<int> chanceAfter;
};

ProcessTables TablesOf(HitKind kind, std::span<const std::uint8_t> setAfter) {
  ProcessTables tables;
  const CandidateSets& sets = CandidateSets::Get();
  for (int code = 0; code < kStepCodeCount; ++code)
    tables.setChance[static_cast<std::size_t>(code)] = ChanceOf(sets.Chances(code), kind);
  for (int number = 0; number < kNumberCount; ++number) {
    const WinningShape shape = WinningShapeOf(number);
    for (int code = 0; code < kStepCodeCount; ++code) {
      const SetCode set{static_cast<std::uint8_t>(code), static_cast<std::uint8_t>(code % 10)};
      if (IsHit(Compare(set, shape), kind)) {
        tables.setHits[static_cast<std::size_t>(code)]
                      [static_cast<std::size_t>(number / kWordBits)] |= std::uint64_t{1}
                                                                        << (number % kWordBits);
      }
    }
  }
  for (const std::uint8_t set : setAfter) {
    tables.hitsAfter.push_back(tables.setHits[set]);
    tables.chanceAfter.push_back(tables.setChance[set]);
  }
  return tables;
}

// Where a draw's set comes from: a stored set's step code, or one of these.
constexpr int kAfterPrevious = -1;  // after the previous tested draw's number
constexpr int kAfterOther = -2;     // after a number that no tested draw uses

std::vector<int> SourcesOf(std::span<const ProcessDraw> draws) {
  std::vector<int> sources;
  sources.reserve(draws.size());
  for (const ProcessDraw& draw : draws) {
    sources.push_back(draw.storedSet >= 0 ? draw.storedSet
                                          : (draw.chained ? kAfterPrevious : kAfterOther));
  }
  return sources;
}

// The distribution of hits at each point with every draw at its average
// chance, and that average's sum, in millionths of a hit: the average chance
// after a uniform number is a whole number of them.
struct Reference {
  std::vector<Cumulative> points;
  std::vector<std::int64_t> expected;
};

constexpr std::int64_t kMillionths = 1000000;

Reference ReferenceOf(const ProcessTables& tables, std::span<const int> sources,
                      std::span<const int> pointAfter) {
  const std::int64_t numbers = std::max<std::int64_t>(std::ssize(tables.chanceAfter), 1);
  std::int64_t chanceSumAfter = 0;  // thousandths
  for (const int chance : tables.chanceAfter)
    chanceSumAfter += chance;
  const std::int64_t averageAfter = chanceSumAfter * (kMillionths / kChanceDenominator) / numbers;
  Reference reference;
  HitDistribution sofar(static_cast<int>(sources.size()));
  std::int64_t expected = 0;
  std::size_t next = 0;
  for (const int after : pointAfter) {
    for (; next <= static_cast<std::size_t>(after) && next < sources.size(); ++next) {
      const int source = sources[next];
      const std::int64_t chance =
          source >= 0 ? std::int64_t{tables.setChance[static_cast<std::size_t>(source)]} *
                            (kMillionths / kChanceDenominator)
                      : averageAfter;
      sofar.AddDraw(static_cast<double>(chance) / kMillionths);
      expected += chance;
    }
    reference.points.emplace_back(sofar);
    reference.expected.push_back(expected);
  }
  return reference;
}

// The hits of a course at a point, less the difference of its expected hits
// from their average: to the nearest whole hit, half up.
int CentredHits(std::int64_t excessThousandths, std::int64_t averageMillionths) {
  const std::int64_t centred =
      excessThousandths * (kMillionths / kChanceDenominator) + averageMillionths + kMillionths / 2;
  const std::int64_t whole = centred / kMillionths;
  return static_cast<int>(centred % kMillionths < 0 ? whole - 1 : whole);
}

// A simulated course's centred hits at every point, given its winning
// numbers in the order the draws use them. The draws between two others
// whose set is not the one after the previous tested draw's number go by
// in a loop of their own: most draws are those.
void CentredHitsOfCourse(const ProcessTables& tables, std::span<const int> sources,
                         std::span<const std::size_t> others, std::span<const int> pointAfter,
                         std::span<const std::int64_t> expected,
                         std::span<const std::uint16_t> numbers, std::span<int> centred) {
  const std::uint16_t* next = numbers.data();
  unsigned previous = 0;
  int hits = 0;
  std::int64_t chances = 0;  // thousandths
  std::size_t at = 0;
  std::size_t other = 0;
  for (std::size_t point = 0; point < pointAfter.size(); ++point) {
    const auto end = std::min(static_cast<std::size_t>(pointAfter[point]) + 1, sources.size());
    while (at < end) {
      const std::size_t until = std::min(end, other < others.size() ? others[other] : end);
      for (; at < until; ++at) {
        const unsigned number = *next++;
        hits += HitOf(tables.hitsAfter[previous], number);
        chances += tables.chanceAfter[previous];
        previous = number;
      }
      if (at == end)
        break;
      const int source = sources[at];
      if (source == kAfterOther)
        previous = *next++;
      const unsigned number = *next++;
      const auto stored = static_cast<std::size_t>(std::max(source, 0));
      hits += HitOf(source >= 0 ? tables.setHits[stored] : tables.hitsAfter[previous], number);
      chances += source >= 0 ? tables.setChance[stored] : tables.chanceAfter[previous];
      previous = number;
      ++at;
      ++other;
    }
    centred[point] =
        CentredHits(std::int64_t{hits} * kChanceDenominator - chances, expected[point]);
  }
}

}  // namespace

std::vector<HitsRange> SimultaneousBand(std::span<const int> chances,
                                        std::span<const int> pointAfter, int threads, int histories,
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
  // How deep into a tail each simulated course goes at its deepest point:
  // the courses of a group taken one point further at a time, so that a
  // point's tables are read once for all of them.
  const int courses = std::max(histories, 1);
  std::vector<double> deepest(static_cast<std::size_t>(courses), 1.0);
  WorkerPool pool(std::clamp(threads, 1, kMaximumBandThreads));
  pool.ForEach((courses + kCoursesPerGroup - 1) / kCoursesPerGroup, [&](int group) {
    const int first = group * kCoursesPerGroup;
    const auto count = static_cast<std::size_t>(std::min(kCoursesPerGroup, courses - first));
    std::vector<RandomStream> randoms;
    randoms.reserve(count);
    for (std::size_t course = 0; course < count; ++course)
      randoms.emplace_back(seed, first + static_cast<std::int64_t>(course));
    std::vector<int> hits(count, 0);
    double* depth = deepest.data() + first;
    for (std::size_t point = 0; point < points.size(); ++point) {
      const Cumulative& stretchHits = stretches[point];
      const std::vector<std::size_t>& stretchStarts = starts[point];
      for (std::size_t course = 0; course < count; ++course) {
        const double unit = randoms[course].Unit();
        hits[course] +=
            stretchHits.Draw(unit, stretchStarts[static_cast<std::size_t>(unit * kBuckets)]);
        depth[course] = std::min(depth[course], points[point].Depth(hits[course]));
      }
    }
  });
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

std::vector<ExcessRange> ProcessBand(HitKind kind, std::span<const std::uint8_t> setAfter,
                                     std::span<const ProcessDraw> draws,
                                     std::span<const int> pointAfter, int threads, int histories,
                                     std::uint64_t seed) {
  const ProcessTables tables = TablesOf(kind, setAfter);
  const std::vector<int> sources = SourcesOf(draws);
  const Reference reference = ReferenceOf(tables, sources, pointAfter);
  std::vector<std::size_t> others;
  for (std::size_t at = 0; at < sources.size(); ++at) {
    if (sources[at] != kAfterPrevious)
      others.push_back(at);
  }
  const std::size_t numbersPerCourse =
      sources.size() +
      static_cast<std::size_t>(std::count(sources.begin(), sources.end(), kAfterOther));
  const int courses = std::max(histories, 1);
  const std::size_t points = reference.points.size();
  std::vector<double> deepest(static_cast<std::size_t>(courses), 1.0);
  WorkerPool pool(std::clamp(threads, 1, kMaximumBandThreads));
  pool.ForEach((courses + kHistoriesPerGroup - 1) / kHistoriesPerGroup, [&](int group) {
    const int first = group * kHistoriesPerGroup;
    const auto count = static_cast<std::size_t>(std::min(kHistoriesPerGroup, courses - first));
    std::vector<std::uint16_t> numbers(numbersPerCourse);
    std::vector<int> centred(count * points);
    for (std::size_t course = 0; course < count; ++course) {
      NumberStream::Fill(seed, first + static_cast<int>(course), numbers);
      CentredHitsOfCourse(tables, sources, others, pointAfter, reference.expected, numbers,
                          std::span<int>(centred).subspan(course * points, points));
    }
    // How deep into a tail each course goes at its deepest point, a point
    // at a time so that its table is read once for the group.
    double* depth = deepest.data() + first;
    for (std::size_t point = 0; point < points; ++point) {
      const Cumulative& hits = reference.points[point];
      for (std::size_t course = 0; course < count; ++course)
        depth[course] = std::min(depth[course], hits.Depth(centred[course * points + point]));
    }
  });
  // The k-th shallowest course, k the largest count that 5 % of courses
  // reach in no more than 5 % of simulations.
  HitDistribution outside(courses);
  outside.AddDraws(courses, 1 - kBandCoverage);
  const auto index = static_cast<std::size_t>(std::max(outside.Quantile(kLevelConfidence) - 1, 0));
  std::nth_element(deepest.begin(), deepest.begin() + static_cast<std::ptrdiff_t>(index),
                   deepest.end());
  const double level = deepest[index];
  std::vector<ExcessRange> band;
  band.reserve(reference.points.size());
  for (std::size_t point = 0; point < reference.points.size(); ++point) {
    const Cumulative& hits = reference.points[point];
    int low = hits.lowest;
    int high = hits.highest();
    while (low < high && hits.Depth(low) < level)
      ++low;
    while (high > low && hits.Depth(high) < level)
      --high;
    // A course is inside when its centred hits, rounded, are: half a hit
    // either side in hits less expected hits.
    const double average = static_cast<double>(reference.expected[point]) / kMillionths;
    band.push_back({low - 0.5 - average, high + 0.5 - average});
  }
  return band;
}

}  // namespace kitebar
