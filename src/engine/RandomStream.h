#pragma once

#include <cstdint>
#include <span>

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

// Winning numbers 000 to 999, evenly: ten bits at a time, a value above 999
// thrown away.
class NumberStream {
 public:
  NumberStream(std::uint64_t seed, std::int64_t index) : random_(seed, index) {}

  int Next() {
    for (;;) {
      if (left_ == 0) {
        word_ = random_.Next();
        left_ = kNumbersPerWord;
      }
      const auto value = static_cast<int>(word_ & kValueMask);
      word_ >>= kNumberBits;
      --left_;
      if (value < kNumbers)
        return value;
    }
  }

  // Winning numbers for `index` all at once, without a branch on each one:
  // the numbers that Next() would give first.
  static void Fill(std::uint64_t seed, std::int64_t index, std::span<std::uint16_t> numbers) {
    RandomStream random(seed, index);
    std::size_t filled = 0;
    while (filled < numbers.size()) {
      std::uint64_t word = random.Next();
      // A whole word while it cannot overrun, then one value at a time.
      const bool whole = filled + kNumbersPerWord <= numbers.size();
      for (int at = 0; at < kNumbersPerWord && (whole || filled < numbers.size()); ++at) {
        const std::uint64_t value = word & kValueMask;
        word >>= kNumberBits;
        // Written every time, kept only when below 1000.
        numbers[filled] = static_cast<std::uint16_t>(value);
        filled += value < kNumbers ? 1 : 0;
      }
    }
  }

 private:
  static constexpr int kNumbers = 1000;
  static constexpr int kNumberBits = 10;
  static constexpr std::uint64_t kValueMask = (std::uint64_t{1} << kNumberBits) - 1;
  static constexpr int kNumbersPerWord = 64 / kNumberBits;

  RandomStream random_;
  std::uint64_t word_ = 0;
  int left_ = 0;
};

}  // namespace kitebar
