#pragma once

#include <vector>

namespace kitebar {

// The distribution of a number of hits X, the sum of independent draws that
// each hit with its own chance (a Poisson-binomial distribution), computed
// exactly by adding one draw, or one group of draws sharing a chance, at a
// time. Counts whose probability is below 1e-30 are dropped as they appear:
// what is lost in all stays below 1e-25, far beneath any figure shown.
// Storage is sized once for the most draws it will hold; adding no more
// draws than that allocates nothing.
class HitDistribution {
 public:
  // X = 0, with room for up to `maxDraws` draws.
  explicit HitDistribution(int maxDraws);

  // Back to X = 0, keeping the storage.
  void Reset();
  // Adds one draw that hits with `chance` (0 to 1).
  void AddDraw(double chance);
  // Adds `count` draws that each hit with `chance`: a binomial, all at once.
  void AddDraws(int count, double chance);

  // P(X >= hits).
  double AtLeast(int hits) const;
  // The smallest k with P(X <= k) >= probability.
  int Quantile(double probability) const;
  // P(X = k).
  double Probability(int k) const;
  // The largest k with P(X >= k) >= probability (0 to 1), its tail summed as
  // AtLeast sums it: so AtLeast(hits) >= probability exactly when hits <= it.
  int HighestWithTailAtLeast(double probability) const;
  // The counts held: P(X = k) is zero outside them.
  int lowest() const { return lowest_; }
  int highest() const { return lowest_ + width_ - 1; }

 private:
  void DropNegligibleEnds();
  // Storage for `width` counts.
  void MakeRoom(std::size_t width);
  // The binomial probabilities of `count` draws with `chance`.
  void FillBinomial(int count, double chance);

  // The counts lowest_ to lowest_ + width_ - 1 are held, in mass_ from begin_ on.
  int lowest_ = 0;
  int begin_ = 0;
  int width_ = 1;
  std::vector<double> mass_;
  std::vector<double> next_;
  // binomial_[k] for k from binomialLowest_ on, binomialWidth_ of them.
  std::vector<double> binomial_;
  int binomialLowest_ = 0;
  int binomialWidth_ = 0;
};

}  // namespace kitebar
