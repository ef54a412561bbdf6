#pragma once

#include <cstdint>
#include <span>
#include <vector>

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
// from the exact distribution of that stretch's hits.
std::vector<HitsRange> SimultaneousBand(std::span<const int> chances,
                                        std::span<const int> pointAfter,
                                        int histories = kBandHistories,
                                        std::uint64_t seed = kBandSeed);

}  // namespace kitebar
