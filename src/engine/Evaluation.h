#pragma once

#include <array>
#include <vector>

#include "common/Status.h"
#include "engine/HitDistribution.h"
#include "engine/WalkForward.h"
#include "settings/SettingsFiles.h"

namespace kitebar {

class DrawHistory;

// What to evaluate. Zero for `from` and `to` means the first and the last
// draw that can be tested (2 and the last complete draw).
struct EvaluationRequest {
  int from = 0;
  int to = 0;
  // 0 to 4; below 0, the set of the prediction run ("StartIndex").
  int settingsType = -1;
  PositionSource positions = PositionSource::kEstimated;
};

// Refuses, with a message for the user, a history with fewer than two draws
// and a range that leaves 2 to `count` or runs backwards.
Status CheckEvaluationRange(int count, int from, int to);

// One kind's result against chance.
struct KindSummary {
  int hits = 0;
  double expected = 0;  // the sum of the draws' chances
  double pValue = 1;    // P(X >= hits) for X the hits of chance alone
  int chanceLow = 0;    // the central 95 % range of X
  int chanceHigh = 0;
  // The one-sided bound that matches the test: the most hits whose p-value
  // is still 0.05 or more, so chance alone stays at or below it with 95 %
  // or more, and a count above it is exactly a count with p below 0.05.
  int chanceBound = 0;
};
using KindSummaries = std::array<KindSummary, kHitKindCount>;

// The exact distribution of chance hits of a tally, summed up. `scratch`
// needs room for the tally's draws.
KindSummary SummarizeKind(const KindTally& tally, HitDistribution& scratch);

// A point of a kind's course after draw `drawNumber`: the hits so far less
// the expected hits so far, the central 95 % range of that difference by
// chance alone at this draw (`low`, `high`), and the band that a course of
// chance alone stays inside all the way in 95 % of histories (`allLow`,
// `allHigh`; see SimultaneousBand).
struct CoursePoint {
  int drawNumber = 0;
  double excess = 0;
  double low = 0;
  double high = 0;
  double allLow = 0;
  double allHigh = 0;
};

struct Evaluation {
  DrawRange range;
  int settingsType = 0;  // 0 to 4
  PositionSource positions = PositionSource::kEstimated;
  int draws = 0;
  int skipped = 0;
  int storedPositions = 0;
  int decidedPositions = 0;
  KindSummaries kinds{};
  // Every set over the same draws, for comparison.
  std::array<KindSummaries, kSettingsTypeCount> sets{};
  // For each set, the first set that offered the same candidates on every
  // tested draw (itself when none did).
  std::array<int, kSettingsTypeCount> sameAs{};
  // When the range is not every draw that can be tested: the chosen set
  // over all of them.
  bool wholeHistoryShown = false;
  DrawRange wholeRange;
  KindSummaries whole{};
  // The course of each kind over the tested draws, at up to kCoursePoints
  // draws spread evenly, the last tested draw included.
  std::array<std::vector<CoursePoint>, kHitKindCount> courses;
};
inline constexpr int kCoursePoints = 300;

// The course of one kind over `tested` (in draw order) for draws whose
// candidates were not offered by one predictor (the prediction record): the
// whole-course band takes each draw's chance as given and the draws as
// independent, for box too.
std::vector<CoursePoint> CourseOfTestedDraws(const std::vector<TestedDraw>& tested, HitKind kind);

// The walk-forward evaluation of `request` on the history in memory and the
// settings files as they are now. Writes nothing. Fails only on a refused
// range.
Result<Evaluation> EvaluateHistory(const DrawHistory& history, const EvaluationRequest& request);

}  // namespace kitebar
