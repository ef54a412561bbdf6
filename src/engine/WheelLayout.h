#pragma once

#include <cstdint>

namespace kitebar {

// The digit places of the per-place tables, in table order. A Numbers 3 draw
// uses hundreds, tens and units; the thousands place is carried but never
// computed. In the three-character position triples the places are hundreds,
// tens and units at offsets 0, 1 and 2.
enum Place : int { kThousands = 0, kHundreds = 1, kTens = 2, kUnits = 3 };
inline constexpr int kPlaceTableSize = 4;
inline constexpr int kPlacesPerTriple = 3;

// The place of offset 0 to 2 of a triple.
constexpr Place PlaceOfTripleOffset(int offset) {
  return static_cast<Place>(offset + kHundreds);
}

constexpr bool IsDigitCode(int code) {
  return code >= '0' && code <= '9';
}

// Each wheel carries the ten digits in its own fixed order. Hundreds: the
// digit at sector p is (10 - p) mod 10; tens: 3p mod 10 (so digit d sits at
// 7d mod 10); units: p.
constexpr int DigitAtSector(Place place, int sector) {
  switch (place) {
    case kHundreds:
      return (10 - sector) % 10;
    case kTens:
      return 3 * sector % 10;
    default:
      return sector;
  }
}

constexpr int SectorOfDigit(Place place, int digit) {
  switch (place) {
    case kHundreds:
      return (10 - digit) % 10;
    case kTens:
      return 7 * digit % 10;
    default:
      return digit;
  }
}

// The character mappings of the engine: a digit character becomes the
// character of its sector (or back); any other code is returned unchanged.
constexpr int DigitCodeToSectorCode(Place place, int code) {
  return IsDigitCode(code) ? '0' + SectorOfDigit(place, code - '0') : code;
}
constexpr int SectorCodeToDigitCode(Place place, int code) {
  return IsDigitCode(code) ? '0' + DigitAtSector(place, code - '0') : code;
}

}  // namespace kitebar
