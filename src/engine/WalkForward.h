#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/CandidateSets.h"
#include "engine/PreparedHistory.h"
#include "engine/WalkForwardPredictor.h"

namespace kitebar {

enum class HitKind { kStraight = 0, kBox = 1, kMini = 2 };
inline constexpr int kHitKindCount = 3;

constexpr bool IsHit(const DrawOutcome& outcome, HitKind kind) {
  switch (kind) {
    case HitKind::kStraight:
      return outcome.straight;
    case HitKind::kBox:
      return outcome.box;
    default:
      return outcome.mini;
  }
}

constexpr int ChanceOf(const ChanceLevels& chances, HitKind kind) {
  switch (kind) {
    case HitKind::kStraight:
      return chances.straight;
    case HitKind::kBox:
      return chances.box;
    default:
      return chances.mini;
  }
}

// Where the windmill position of a tested draw comes from.
enum class PositionSource {
  // Always estimated from the winning number of the draw before, so that
  // nothing known after the draw before is used: a decided position may
  // have been entered after the draw was known.
  kEstimated,
  // The stored position where the history has one, as the recent-draws
  // back-test uses it.
  kStoredWhereGiven,
};

// Draws `from` to `to`; a range reaching below 2 or beyond the last complete
// draw is cut to them.
struct DrawRange {
  int from = 0;
  int to = 0;
};

// One setting's result for one kind over a range: what a search compares.
struct KindScore {
  int draws = 0;
  int hits = 0;
  // The sum of the draws' chances, in thousandths: exact, whatever the count.
  std::int64_t chanceThousandths = 0;

  double Expected() const { return static_cast<double>(chanceThousandths) / kChanceDenominator; }
  // Hits beyond what chance gives; a setting that only offers more
  // permutation-prone candidates gains nothing here.
  double Excess() const { return hits - Expected(); }
};

// Scores one setting over the draws of `range` for one kind: a few table
// look-ups per draw and no allocation.
KindScore ScoreDraws(const PreparedHistory& history, const WalkForwardPredictor& predictor,
                     DrawRange range, PositionSource source, HitKind kind);

// One tested draw, in draw order.
struct TestedDraw {
  int drawNumber = 0;
  int candidateKey = 0;  // the candidates offered (see CandidateSets)
  DrawOutcome outcome;
  ChanceLevels chances;
  bool fromStoredPosition = false;
};

// A kind's totals with what the exact distribution of its hits needs: how
// many draws had each chance.
struct KindTally {
  int hits = 0;
  std::int64_t chanceThousandths = 0;
  std::array<std::int32_t, kChanceDenominator + 1> drawsAtChance{};
};

struct WalkTally {
  int draws = 0;  // tested
  int skipped =
      0;  // without their own or the previous winning number, or with an unusable position
  int storedPositions = 0;   // tested from a stored position
  int decidedPositions = 0;  // of those, decided ones
  std::array<KindTally, kHitKindCount> kinds{};
};

// Tests every draw of `range`. A draw is skipped when its own winning number
// or that of the draw before is not three digits, or when the position it
// would be predicted from is stored but not three digits. Each tested draw is
// appended to `tested` when one is given.
WalkTally WalkDraws(const PreparedHistory& history, const WalkForwardPredictor& predictor,
                    DrawRange range, PositionSource source, std::vector<TestedDraw>* tested);

}  // namespace kitebar
