#include "engine/HitDistribution.h"

#include <algorithm>
#include <cmath>

namespace kitebar {
namespace {

constexpr double kNegligible = 1e-30;

}  // namespace

HitDistribution::HitDistribution(int maxDraws)
    : mass_(static_cast<std::size_t>(std::max(maxDraws, 0)) + 1),
      next_(mass_.size()),
      binomial_(mass_.size()) {
  Reset();
}

void HitDistribution::Reset() {
  lowest_ = 0;
  begin_ = 0;
  width_ = 1;
  mass_[0] = 1.0;
}

void HitDistribution::MakeRoom(std::size_t width) {
  // Only a caller that adds more draws than it announced gets here.
  if (width <= mass_.size())
    return;
  mass_.resize(width);
  next_.resize(width);
  binomial_.resize(width);
}

void HitDistribution::AddDraw(double chance) {
  if (!(chance > 0))
    return;
  if (chance >= 1) {
    ++lowest_;
    return;
  }
  MakeRoom(static_cast<std::size_t>(width_) + 1);
  const double miss = 1 - chance;
  const double* in = mass_.data() + begin_;
  double* out = next_.data();
  out[0] = in[0] * miss;
  for (int k = 1; k < width_; ++k)
    out[k] = in[k] * miss + in[k - 1] * chance;
  out[width_] = in[width_ - 1] * chance;
  mass_.swap(next_);
  begin_ = 0;
  ++width_;
  DropNegligibleEnds();
}

void HitDistribution::FillBinomial(int count, double chance) {
  // From the most likely count outwards, relative to it, then normalised:
  // each step multiplies by a ratio near 1, so nothing underflows on the way.
  const double odds = chance / (1 - chance);
  const int mode = std::min(count, static_cast<int>(std::floor((count + 1) * chance)));
  binomial_[static_cast<std::size_t>(mode)] = 1.0;
  double sum = 1.0;
  int highest = mode;
  while (highest < count) {
    const double next =
        binomial_[static_cast<std::size_t>(highest)] * (count - highest) / (highest + 1) * odds;
    if (next < kNegligible)
      break;
    binomial_[static_cast<std::size_t>(++highest)] = next;
    sum += next;
  }
  int lowest = mode;
  while (lowest > 0) {
    const double next =
        binomial_[static_cast<std::size_t>(lowest)] * lowest / ((count - lowest + 1) * odds);
    if (next < kNegligible)
      break;
    binomial_[static_cast<std::size_t>(--lowest)] = next;
    sum += next;
  }
  const double scale = 1 / sum;
  for (int k = lowest; k <= highest; ++k)
    binomial_[static_cast<std::size_t>(k)] *= scale;
  binomialLowest_ = lowest;
  binomialWidth_ = highest - lowest + 1;
}

void HitDistribution::AddDraws(int count, double chance) {
  if (count <= 0 || !(chance > 0))
    return;
  if (chance >= 1) {
    lowest_ += count;
    return;
  }
  if (count == 1) {
    AddDraw(chance);
    return;
  }
  MakeRoom(static_cast<std::size_t>(width_) + static_cast<std::size_t>(count));
  FillBinomial(count, chance);
  const double* in = mass_.data() + begin_;
  const double* binomial = binomial_.data() + binomialLowest_;
  double* out = next_.data();
  const int width = width_ + binomialWidth_ - 1;
  std::fill(out, out + width, 0.0);
  for (int i = 0; i < width_; ++i) {
    const double at = in[i];
    double* row = out + i;
    for (int j = 0; j < binomialWidth_; ++j)
      row[j] += at * binomial[j];
  }
  mass_.swap(next_);
  begin_ = 0;
  width_ = width;
  lowest_ += binomialLowest_;
  DropNegligibleEnds();
}

void HitDistribution::DropNegligibleEnds() {
  while (width_ > 1 && mass_[static_cast<std::size_t>(begin_)] < kNegligible) {
    ++begin_;
    ++lowest_;
    --width_;
  }
  while (width_ > 1 && mass_[static_cast<std::size_t>(begin_ + width_ - 1)] < kNegligible)
    --width_;
}

double HitDistribution::AtLeast(int hits) const {
  if (hits <= lowest_)
    return 1.0;
  double tail = 0;
  // From the far end, so that the small terms are added first.
  for (int k = lowest_ + width_ - 1; k >= hits; --k)
    tail += Probability(k);
  return std::min(tail, 1.0);
}

int HitDistribution::HighestWithTailAtLeast(double probability) const {
  double tail = 0;
  for (int k = lowest_ + width_ - 1; k > lowest_; --k) {
    tail += Probability(k);
    if (std::min(tail, 1.0) >= probability)
      return k;
  }
  return lowest_;
}

int HitDistribution::Quantile(double probability) const {
  double cumulative = 0;
  for (int i = 0; i < width_; ++i) {
    cumulative += mass_[static_cast<std::size_t>(begin_ + i)];
    if (cumulative >= probability)
      return lowest_ + i;
  }
  return lowest_ + width_ - 1;
}

double HitDistribution::Probability(int k) const {
  const int i = k - lowest_;
  return i >= 0 && i < width_ ? mass_[static_cast<std::size_t>(begin_ + i)] : 0.0;
}

}  // namespace kitebar
