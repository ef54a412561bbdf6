#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "engine/WheelLayout.h"
#include "engine/WindmillSimulator.h"
#include "history/DrawHistory.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::TempWorkingDirectory;

// What a simulator that never computed a hit shift before gives from the same
// fields: the outcome that a reused computation must match.
struct Outcome {
  bool inRange = false;
  std::array<std::int8_t, kPlaceTableSize> hitShift{};
  bool operator==(const Outcome&) const = default;
};

Outcome FreshOutcome(const WindmillSimulator& state) {
  const auto fresh = std::make_unique<WindmillSimulator>();
  fresh->startToReach = state.startToReach;
  fresh->startToHit = state.startToHit;
  fresh->targetDiameter = state.targetDiameter;
  fresh->stepNum = state.stepNum;
  fresh->hitShift = state.hitShift;
  const bool inRange = fresh->ComputeHitShift();
  return {inRange, fresh->hitShift};
}

struct Step {
  const char* change;
  std::function<void(WindmillSimulator&)> apply;
};

TEST(HitShiftReuse, EveryCallMatchesAFreshComputation) {
  const TempWorkingDirectory folder;
  const std::vector<Step> steps = {
      {"defaults", [](WindmillSimulator&) {}},
      {"the same again", [](WindmillSimulator&) {}},
      {"tens reach 1.0", [](WindmillSimulator& s) { s.startToReach[kTens] = 1.0f; }},
      {"units hit 16.0", [](WindmillSimulator& s) { s.startToHit[kUnits] = 16.0f; }},
      {"tens reach out of range", [](WindmillSimulator& s) { s.startToReach[kTens] = 9.5f; }},
      {"units shift set by hand", [](WindmillSimulator& s) { s.hitShift[kUnits] = 7; }},
      {"hundreds shift set by hand", [](WindmillSimulator& s) { s.hitShift[kHundreds] = 9; }},
      {"tens reach back in range", [](WindmillSimulator& s) { s.startToReach[kTens] = 2.0f; }},
      {"diameter 25.5", [](WindmillSimulator& s) { s.targetDiameter = 25.5f; }},
      {"unusable step value", [](WindmillSimulator& s) { s.stepNum = 0; }},
      {"step value 53", [](WindmillSimulator& s) { s.stepNum = 53; }},
      {"hundreds hit not a number",
       [](WindmillSimulator& s) { s.startToHit[kHundreds] = std::nanf(""); }},
      {"the same again", [](WindmillSimulator&) {}},
      {"thousands values changed",
       [](WindmillSimulator& s) {
         s.startToHit[kHundreds] = 11.5f;
         s.startToReach[kThousands] = 30.0f;
       }},
      {"thousands shift set by hand", [](WindmillSimulator& s) { s.hitShift[kThousands] = 3; }},
      {"reach -0.0", [](WindmillSimulator& s) { s.startToReach[kUnits] = -0.0f; }},
      {"reach 0.0", [](WindmillSimulator& s) { s.startToReach[kUnits] = 0.0f; }},
  };
  const auto simulator = std::make_unique<WindmillSimulator>();
  for (const Step& step : steps) {
    SCOPED_TRACE(step.change);
    step.apply(*simulator);
    const Outcome expected = FreshOutcome(*simulator);
    const bool inRange = simulator->ComputeHitShift();
    EXPECT_EQ((Outcome{inRange, simulator->hitShift}), expected);
  }
}

// The wheel layout's mappings, looked up from tables in the runs, agree with
// the layout for every byte a history file can hold.
TEST(WheelCodeTables, EveryByteMapsAsTheWheelLayoutSays) {
  const TempWorkingDirectory folder;
  constexpr int kByteCount = 256;
  DrawHistory history;
  for (int byte = 0; byte < kByteCount; ++byte) {
    const char code = static_cast<char>(byte);
    history.record(byte + 1).digits = {code, code, code};
  }
  const auto simulator = std::make_unique<WindmillSimulator>();
  for (int byte = 0; byte < kByteCount; ++byte) {
    simulator->estimatedPositions[static_cast<std::size_t>(byte) * kPlacesPerTriple] =
        static_cast<char>(byte);
  }
  simulator->LoadWinningPositions(history, kByteCount + 1);
  for (int byte = 0; byte < kByteCount; ++byte) {
    SCOPED_TRACE(byte);
    const int code = static_cast<signed char>(byte);
    const std::string_view triple = WindmillSimulator::Triple(simulator->winningPositions, byte);
    // Hundreds and tens keep their initial NUL for a byte that is not a digit.
    EXPECT_EQ(triple[0], IsDigitCode(code) ? DigitCodeToSectorCode(kHundreds, code) : 0);
    EXPECT_EQ(triple[1], IsDigitCode(code) ? DigitCodeToSectorCode(kTens, code) : 0);
    EXPECT_EQ(triple[2], static_cast<char>(DigitCodeToSectorCode(kUnits, code)));
  }
  const WindmillSimulator::PositionArray sectors = simulator->winningPositions;
  simulator->PositionsToDigits(kByteCount + 1);
  for (std::size_t i = 0; i < kByteCount * kPlacesPerTriple; ++i) {
    const Place place = PlaceOfTripleOffset(static_cast<int>(i % kPlacesPerTriple));
    EXPECT_EQ(simulator->winningPositions[i],
              static_cast<char>(SectorCodeToDigitCode(place, sectors[i])));
  }
  for (int byte = 0; byte < kByteCount; ++byte) {
    EXPECT_EQ(simulator->estimatedPositions[static_cast<std::size_t>(byte) * kPlacesPerTriple],
              static_cast<char>(SectorCodeToDigitCode(kHundreds, static_cast<signed char>(byte))))
        << byte;
  }
}

}  // namespace
}  // namespace kitebar
