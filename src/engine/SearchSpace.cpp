#include "engine/SearchSpace.h"

#include <algorithm>

namespace kitebar {
namespace {

constexpr double kHundredth = 100.0;

// The finishing mix of SplitMix64: neighbouring inputs give unrelated outputs.
constexpr std::uint64_t Mix(std::uint64_t z) {
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
  return z ^ (z >> 31);
}

// SplitMix64 started from the seed and the setting's number. Its own
// arithmetic, not a library distribution, so that a seed gives the same
// settings with every compiler and library.
class SettingStream {
 public:
  SettingStream(std::uint64_t seed, std::int64_t index)
      : state_(Mix(seed) ^ Mix(static_cast<std::uint64_t>(index) + 0x9e3779b97f4a7c15u)) {}

  // 0 to count - 1; the bias of the remainder is below 1e-15.
  int Below(int count) {
    state_ += 0x9e3779b97f4a7c15u;
    return static_cast<int>(Mix(state_) % static_cast<std::uint64_t>(count));
  }

 private:
  std::uint64_t state_;
};

const SearchedRange& RangeOfValue(int value) {
  return kSearchedRanges[static_cast<std::size_t>(value / kPlacesPerTriple)];
}

float PointOf(int hundredths) {
  return static_cast<float>(hundredths / kHundredth);
}

}  // namespace

SearchedSetting RandomSetting(std::uint64_t seed, std::int64_t index) {
  SettingStream stream(seed, index);
  SearchedSetting setting;
  for (int value = 0; value < kSearchedValueCount; ++value) {
    const SearchedRange& range = RangeOfValue(value);
    setting.values[static_cast<std::size_t>(value)] =
        static_cast<std::int16_t>(range.low + stream.Below(range.high - range.low + 1));
  }
  return setting;
}

SearchedSetting NeighbourSetting(const SearchedSetting& centre, int radius, std::uint64_t seed,
                                 std::int64_t index) {
  SettingStream stream(seed, index);
  SearchedSetting setting = centre;
  const int value = stream.Below(kSearchedValueCount);
  const SearchedRange& range = RangeOfValue(value);
  const int width = range.high - range.low + 1;
  std::int16_t& changed = setting.values[static_cast<std::size_t>(value)];
  const auto kind = static_cast<SearchedKind>(value / kPlacesPerTriple);
  if (kind == SearchedKind::kStopDigit || kind == SearchedKind::kSpeed) {
    // Any other value: a step of 1 to width - 1 around the range.
    const int step = 1 + stream.Below(width - 1);
    changed = static_cast<std::int16_t>(range.low + (changed - range.low + step) % width);
    return setting;
  }
  const int distance = 1 + stream.Below(std::clamp(radius, 1, width - 1));
  const bool upwards = stream.Below(2) == 1;
  int moved = changed + (upwards ? distance : -distance);
  if (moved < range.low || moved > range.high)
    moved = changed + (upwards ? -distance : distance);
  changed = static_cast<std::int16_t>(std::clamp(moved, range.low, range.high));
  return setting;
}

WindmillSettings WindmillSettingsOf(const SearchedSetting& setting, const WindmillSettings& base) {
  WindmillSettings settings = base;
  settings.stopConstant.clear();
  for (int offset = 0; offset < kPlacesPerTriple; ++offset) {
    const auto place = static_cast<std::size_t>(PlaceOfTripleOffset(offset));
    settings.stopConstant +=
        static_cast<char>('0' + setting.Value(SearchedKind::kStopDigit, offset));
    settings.startToReach[place] = PointOf(setting.Value(SearchedKind::kReachPoint, offset));
    settings.startToHit[place] = PointOf(setting.Value(SearchedKind::kHitPoint, offset));
    settings.speedIndex[place] = setting.Value(SearchedKind::kSpeed, offset);
  }
  return settings;
}

SettingsType SettingsTypeAsSaved(const WindmillSettings& settings) {
  SettingsType type;
  // The engine reads at most four characters of the stop constant.
  const std::size_t length = std::min(settings.stopConstant.size(), kEndPointCapacityEngine - 1);
  std::copy_n(settings.stopConstant.begin(), length, type.stopConstant.begin());
  for (int place = 0; place < kPlaceTableSize; ++place) {
    const auto at = static_cast<std::size_t>(place);
    type.startToReach[at] = SavedPointValue(settings.startToReach[at]);
    type.startToHit[at] = SavedPointValue(settings.startToHit[at]);
    type.speedOffset[at] = SpeedOffsetOfIndex(settings.speedIndex[at]);
  }
  return type;
}

SettingsType EngineSetOf(const SearchedSetting& setting) {
  return SettingsTypeAsSaved(WindmillSettingsOf(setting, WindmillSettings{}));
}

}  // namespace kitebar
