#include "engine/WindmillArithmetic.h"

#include <cmath>

namespace kitebar {
namespace {

// Beyond these bounds the circumference, the sector length or the reach
// distance (up to about 7,400 x D) leave the single-precision range.
constexpr float kSmallestDiameter = 1.0e-30f;
constexpr float kLargestDiameter = 1.0e30f;

constexpr double kPi = 3.1416;
constexpr double kSectorFraction = 0.1;
constexpr float kFullSpeedFactor = 10.0f;

}  // namespace

bool IsStartToReachInRange(float startToReach) {
  return startToReach >= 0.0 && startToReach <= 9.0;
}

bool IsStartToHitInRange(float startToHit) {
  return startToHit >= 9.0 && startToHit <= 16.0;
}

float UsableDiameter(float diameter) {
  // A hand-edited "./base.ini" can hold 0, a negative value or text that is
  // not a number; with it the reduction by the circumference would never end,
  // so the construction value is used instead.
  const bool usable =
      std::isfinite(diameter) && diameter >= kSmallestDiameter && diameter <= kLargestDiameter;
  return usable ? diameter : kDefaultDiameter;
}

int UsableStepNum(int stepNum) {
  // A step value below 1 makes the reach distance infinite or negative.
  return stepNum >= 1 ? stepNum : kDefaultStepNum;
}

WheelGeometry MeasureWheel(float diameter) {
  const double circumference = static_cast<double>(diameter) * kPi;
  return WheelGeometry{static_cast<float>(circumference),
                       static_cast<float>(circumference * kSectorFraction)};
}

ReachPhase CountReachPhase(float startToReach) {
  ReachPhase phase;
  do {
    phase.time += kTimeStep;
    ++phase.ticks;
  } while (phase.time < startToReach);
  return phase;
}

double CountHitPhaseTime(float span) {
  double time = 0;
  do {
    time += kTimeStep;
  } while (time < span);
  return time;
}

double ReduceByCircumference(float value, float circumference) {
  double reduced = value;
  if (!(circumference > 0) || !std::isfinite(reduced))
    return reduced;
  while (reduced >= circumference)
    reduced -= circumference;
  return reduced;
}

int SectorsCovered(float distance, const WheelGeometry& wheel) {
  return static_cast<int>(ReduceByCircumference(distance, wheel.circumference) /
                          wheel.sectorLength);
}

int ComputePlaceHitShift(float diameter, int stepNum, float startToReach, float startToHit) {
  const WheelGeometry wheel = MeasureWheel(diameter);
  // Reach phase: the rim runs at the fraction ticks / stepNum of full speed.
  const ReachPhase reach = CountReachPhase(startToReach);
  const auto reachDistance = static_cast<float>(static_cast<double>(diameter) / stepNum *
                                                reach.ticks * reach.time * kFullSpeedFactor);
  // Hit phase: full speed for the ticks that cover start-to-hit less start-to-reach.
  const auto span = static_cast<float>(static_cast<double>(startToHit) - startToReach);
  const auto hitDistance = static_cast<float>(static_cast<double>(diameter) *
                                              CountHitPhaseTime(span) * kFullSpeedFactor);
  int shift = SectorsCovered(reachDistance, wheel) + SectorsCovered(hitDistance, wheel);
  if (shift > 9)
    shift -= 10;
  return shift;
}

}  // namespace kitebar
