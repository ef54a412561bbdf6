#pragma once

#include <array>
#include <cstdint>

#include "engine/WindmillSimulator.h"
#include "settings/SettingsUpdates.h"

namespace kitebar {

// What a settings search may change: every value that a set file holds and
// the engine reads, for the three places of a draw. The thousands place, the
// step value and the diameter stay as they are.
enum class SearchedKind : int { kStopDigit = 0, kReachPoint = 1, kHitPoint = 2, kSpeed = 3 };
inline constexpr int kSearchedKindCount = 4;
inline constexpr int kSearchedValueCount = kSearchedKindCount * kPlacesPerTriple;

// The values each kind may take, in the steps the settings dialog saves: a
// stop-constant digit, a reach point 0.00 to 5.00 and a hit point 10.00 to
// 15.00 in hundredths (the dialog's checks and its two decimals), a speed
// index 0 (最低速) to 4 (最高速).
struct SearchedRange {
  int low;
  int high;
};
inline constexpr std::array<SearchedRange, kSearchedKindCount> kSearchedRanges{
    {{0, 9}, {0, 500}, {1000, 1500}, {0, 4}}};

// One setting of the search. Value v is kind v / 3 for place v % 3
// (hundreds, tens, units): the stop digits first, then the reach points, the
// hit points and the speeds.
struct SearchedSetting {
  std::array<std::int16_t, kSearchedValueCount> values{};

  int Value(SearchedKind kind, int offset) const {
    return values[static_cast<std::size_t>(static_cast<int>(kind) * kPlacesPerTriple + offset)];
  }
  bool operator==(const SearchedSetting&) const = default;
};

// Setting `index` of a random sample: every value drawn evenly from its
// range. It depends on `seed` and `index` alone, so that any thread can make
// any setting of the sample.
SearchedSetting RandomSetting(std::uint64_t seed, std::int64_t index);

// `base` with the three places and the stop constant of `setting`, as the
// settings dialog holds them before it saves: the thousands values of
// `base` stay.
WindmillSettings WindmillSettingsOf(const SearchedSetting& setting, const WindmillSettings& base);

// The set that the engine reads back after UpdateWindmillSettings saved
// `settings`: the stop constant as written, the points at their two
// decimals, the speeds as offsets.
SettingsType SettingsTypeAsSaved(const WindmillSettings& settings);

// The set that the engine reads after `setting` was saved; thousands values
// do not reach the computation and are left at zero.
SettingsType EngineSetOf(const SearchedSetting& setting);

}  // namespace kitebar
