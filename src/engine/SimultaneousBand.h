#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "engine/WalkForward.h"

namespace kitebar {

inline constexpr int kBandHistories = 10000;
inline constexpr std::uint64_t kBandSeed = 20260102;
inline constexpr double kBandCoverage = 0.95;

// Hits so far, from `low` to `high`.
struct HitsRange {
  int low = 0;
  int high = 0;
};

// A band for a whole course of hits by chance alone: the draws hit
// independently, draw i with chances[i] thousandths, and the course is seen
// after the draws pointAfter[0] < pointAfter[1] < ... (indexes into
// chances). The band holds at each point the counts whose lower and upper
// tails are both at least one level, the same level for every point, chosen
// so that in `histories` simulated courses (fixed seed) at least 95 % stay
// inside at every point. Each simulated step between two points is drawn
// from the exact distribution of that stretch's hits. History h depends on
// the seed and h alone, so the band is the same for any thread count.
std::vector<HitsRange> SimultaneousBand(std::span<const int> chances,
                                        std::span<const int> pointAfter, int threads = 1,
                                        int histories = kBandHistories,
                                        std::uint64_t seed = kBandSeed);

// Chance histories of the draw process itself for a whole-course band: each
// simulated course is drawn draw by draw, which costs more than a stretch, so
// fewer of them.
inline constexpr int kProcessBandHistories = 2000;

// How a tested draw's candidates come about.
struct ProcessDraw {
  // The step code of a set from a stored position; below 0, the set that
  // the prediction offers after the winning number of the draw before.
  int storedSet = -1;
  // That winning number is the previous tested draw's own; otherwise no
  // tested draw uses it.
  bool chained = false;
};

// Hits less expected hits, from `low` to `high`.
struct ExcessRange {
  double low = 0;
  double high = 0;
};

// A band for a whole course of hits less expected hits, simulated on the
// process that makes them: every winning number drawn uniformly from 000 to
// 999, each draw's set the one offered after the number before
// (`setAfter[number]`, a step code) or a stored one, so that a draw's chance
// follows from the number before as it does in a real history. The course
// is seen after the draws pointAfter[0] < pointAfter[1] < ... . At each
// point the band holds the courses whose hits, less the expected hits'
// difference from their average, lie no deeper in either tail of the
// distribution of hits at average chances than one level, the same for
// every point, chosen so that with 95 % confidence no more than 5 % of
// courses leave the band anywhere. History h depends on the seed and h
// alone, so the band is the same for any thread count.
std::vector<ExcessRange> ProcessBand(HitKind kind, std::span<const std::uint8_t> setAfter,
                                     std::span<const ProcessDraw> draws,
                                     std::span<const int> pointAfter, int threads,
                                     int histories = kProcessBandHistories,
                                     std::uint64_t seed = kBandSeed);

}  // namespace kitebar
