#pragma once

#include <array>
#include <cstdint>

#include "engine/CandidateSets.h"
#include "engine/WindmillSimulator.h"

namespace kitebar {

// The three digits of a winning number or a windmill position, hundreds first.
using DigitTriple = std::array<std::uint8_t, kPlacesPerTriple>;

// The hit shifts (table order, thousands 0) that a new simulator computes
// from one set with this diameter and step value: a place whose start-to-reach
// or start-to-hit value is out of range keeps its initial 0, and so does
// every later place.
std::array<int, kPlaceTableSize> HitShiftsOf(const SettingsType& set, float diameter, int stepNum);

// The candidates that the prediction run offers for a draw, worked out
// without a simulator: one set's values, held in memory, are reduced once to
// a table of ten entries per place, so that a draw costs three look-ups. The
// result is the key of the candidate set (see CandidateSets). The arithmetic
// is the simulator's, step for step, including its roundings.
class WalkForwardPredictor {
 public:
  // `diameter` and `stepNum` as "./base.ini" holds them.
  WalkForwardPredictor(const SettingsType& set, float diameter, int stepNum);

  // A draw without a stored position: the run estimates the position from
  // the winning digits of the draw before, with the base values, and
  // computes the candidates from it with the same values.
  int KeyFromPreviousWinning(const DigitTriple& previousDigits) const {
    return Key(fromPreviousWinning_, previousDigits);
  }
  // A draw with a stored position of three digits: the run computes the
  // candidates with the simulator's construction step value and diameter,
  // whatever "./base.ini" holds.
  int KeyFromStoredPosition(const DigitTriple& position) const {
    return Key(fromStoredPosition_, position);
  }

 private:
  // Per place and digit, the sector of candidate 1 already weighted by the
  // place's share of the key (100, 10, 1).
  using PlaceTables = std::array<std::array<std::int16_t, 10>, kPlacesPerTriple>;

  static int Key(const PlaceTables& tables, const DigitTriple& digits) {
    return tables[0][digits[0]] + tables[1][digits[1]] + tables[2][digits[2]];
  }

  PlaceTables fromPreviousWinning_{};
  PlaceTables fromStoredPosition_{};
};

}  // namespace kitebar
