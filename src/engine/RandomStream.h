#pragma once

#include <cstdint>

namespace kitebar {

// SplitMix64 started from a seed and an item's number, so that any thread
// can make item n of a run. Its own arithmetic, not a library distribution:
// a seed gives the same numbers with every compiler and library.
class RandomStream {
 public:
  RandomStream(std::uint64_t seed, std::int64_t index)
      : state_(Mix(seed) ^ Mix(static_cast<std::uint64_t>(index) + kGolden)) {}

  std::uint64_t Next() {
    state_ += kGolden;
    return Mix(state_);
  }
  // 0 to count - 1; the bias of the remainder is below 1e-15 for small counts.
  int Below(int count) { return static_cast<int>(Next() % static_cast<std::uint64_t>(count)); }
  // 0 to 1 - 2^-53, evenly.
  double Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

 private:
  static constexpr std::uint64_t kGolden = 0x9e3779b97f4a7c15u;

  // The finishing mix: neighbouring inputs give unrelated outputs.
  static constexpr std::uint64_t Mix(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
    return z ^ (z >> 31);
  }

  std::uint64_t state_;
};

}  // namespace kitebar
