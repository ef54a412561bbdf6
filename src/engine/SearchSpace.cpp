#include "engine/SearchSpace.h"

#include <algorithm>

#include "engine/RandomStream.h"

namespace kitebar {
namespace {

constexpr double kHundredth = 100.0;

const SearchedRange& RangeOfValue(int value) {
  return kSearchedRanges[static_cast<std::size_t>(value / kPlacesPerTriple)];
}

float PointOf(int hundredths) {
  return static_cast<float>(hundredths / kHundredth);
}

}  // namespace

SearchedSetting RandomSetting(std::uint64_t seed, std::int64_t index) {
  RandomStream stream(seed, index);
  SearchedSetting setting;
  for (int value = 0; value < kSearchedValueCount; ++value) {
    const SearchedRange& range = RangeOfValue(value);
    setting.values[static_cast<std::size_t>(value)] =
        static_cast<std::int16_t>(range.low + stream.Below(range.high - range.low + 1));
  }
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
