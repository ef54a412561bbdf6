#include "engine/WalkForwardPredictor.h"

#include "engine/WindmillArithmetic.h"

namespace kitebar {
namespace {

constexpr std::array<int, kPlacesPerTriple> kKeyWeights{100, 10, 1};

// A stop-constant character that is not a digit stops the place without
// offset, as in the simulator.
int StopConstantDigit(const SettingsType& set, Place place) {
  const char code = set.stopConstant[static_cast<std::size_t>(place - kHundreds)];
  return IsDigitCode(code) ? code - '0' : 0;
}

// Adds `amount` to a sector and brings a result beyond 9 back by ten, once:
// the simulator does this on digit characters.
int AddWrappingOnce(int sector, int amount) {
  const int sum = sector + amount;
  return sum > 9 ? sum - 10 : sum;
}

// The windmill position (a sector) estimated from the winning sector of the
// draw before: the start position, then the hit shift.
int EstimatedSector(const SettingsType& set, Place place, int hitShift, int winningSector) {
  int start = AddWrappingOnce(winningSector, StopConstantDigit(set, place));
  start = AddWrappingOnce(start, set.speedOffset[place]);
  if (start < 0)
    start += 10;
  return AddWrappingOnce(start, hitShift);
}

// The sector of candidate 1 from a windmill position sector, as the candidate
// table's first entry is made.
int FirstCandidateSector(const SettingsType& set, Place place, int hitShift, int positionSector) {
  int sector = set.speedOffset[place];
  if (sector >= 10)
    sector -= 10;
  if (sector < 0)
    sector += 10;
  sector += hitShift;
  if (sector >= 10)
    sector -= 10;
  sector += positionSector;
  if (sector >= 10)
    sector -= 10;
  return sector;
}

}  // namespace

std::array<int, kPlaceTableSize> HitShiftsOf(const SettingsType& set, float diameter, int stepNum) {
  const float usableDiameter = UsableDiameter(diameter);
  const int usableStepNum = UsableStepNum(stepNum);
  std::array<int, kPlaceTableSize> shifts{};
  for (const Place place : {kHundreds, kTens, kUnits}) {
    const float reach = set.startToReach[place];
    const float hit = set.startToHit[place];
    if (!IsStartToReachInRange(reach) || !IsStartToHitInRange(hit))
      break;
    shifts[place] = ComputePlaceHitShift(usableDiameter, usableStepNum, reach, hit);
  }
  return shifts;
}

WalkForwardPredictor::WalkForwardPredictor(const SettingsType& set, float diameter, int stepNum) {
  const std::array<int, kPlaceTableSize> estimating = HitShiftsOf(set, diameter, stepNum);
  const std::array<int, kPlaceTableSize> constructed =
      HitShiftsOf(set, kDefaultDiameter, kDefaultStepNum);
  for (int offset = 0; offset < kPlacesPerTriple; ++offset) {
    const Place place = PlaceOfTripleOffset(offset);
    const auto at = static_cast<std::size_t>(offset);
    for (int digit = 0; digit <= 9; ++digit) {
      const int sector = SectorOfDigit(place, digit);
      const int estimate = EstimatedSector(set, place, estimating[place], sector);
      fromPreviousWinning_[at][static_cast<std::size_t>(digit)] = static_cast<std::int16_t>(
          kKeyWeights[at] * FirstCandidateSector(set, place, estimating[place], estimate));
      fromStoredPosition_[at][static_cast<std::size_t>(digit)] = static_cast<std::int16_t>(
          kKeyWeights[at] * FirstCandidateSector(set, place, constructed[place], sector));
    }
  }
}

}  // namespace kitebar
