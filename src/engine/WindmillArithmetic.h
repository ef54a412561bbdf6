#pragma once

namespace kitebar {

// The arithmetic of one wheel's run from the start to the hit. Parameters are
// single-precision, every intermediate is double precision, and values are
// rounded to single precision only where noted: the results must agree to the
// sector at every boundary, so the counting loops and the reduction by
// repeated subtraction below are deliberate (a closed form rounds differently).

// One tick of the arrow's run: the single-precision value of 0.11.
inline constexpr double kTimeStep = static_cast<double>(0.11f);

inline constexpr float kDefaultDiameter = 30.0f;
inline constexpr int kDefaultStepNum = 40;

// The accepted ranges of a place's start-to-reach and start-to-hit values; a
// value that is not a number is outside them.
bool IsStartToReachInRange(float startToReach);
bool IsStartToHitInRange(float startToHit);

// The diameter and step value that the computation can use: the reduction by
// the circumference only ends for a finite positive circumference and finite
// distances, and the reach phase needs at least one step.
float UsableDiameter(float diameter);
int UsableStepNum(int stepNum);

struct WheelGeometry {
  float circumference = 0;  // D x 3.1416, rounded to single precision
  float sectorLength = 0;   // (D x 3.1416) x 0.1 from the unrounded product, rounded
};
WheelGeometry MeasureWheel(float diameter);

// The reach phase: ticks are added until their sum reaches startToReach (at
// least one tick).
struct ReachPhase {
  int ticks = 0;
  double time = 0;
};
ReachPhase CountReachPhase(float startToReach);

// The hit phase: the time of the ticks added until their sum reaches `span`
// (at least one tick).
double CountHitPhaseTime(float span);

// `value` less the circumference as often as it is not below it. A
// circumference that is not above zero, or a value that is not finite, could
// never be reduced and is returned unchanged.
double ReduceByCircumference(float value, float circumference);

// Whole sectors covered by `distance` after reduction by the circumference.
int SectorsCovered(float distance, const WheelGeometry& wheel);

// The number of sectors, 0 to 9, that the wheel of one place turns from the
// start to the hit. Expects in-range start-to-reach and start-to-hit values
// and a usable diameter and step value.
int ComputePlaceHitShift(float diameter, int stepNum, float startToReach, float startToHit);

}  // namespace kitebar
