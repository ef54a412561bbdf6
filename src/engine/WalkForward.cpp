#include "engine/WalkForward.h"

#include <algorithm>

namespace kitebar {
namespace {

constexpr int kFirstTestableDraw = 2;

// Calls test(n, key, outcome, chances, position) for every draw of the range that
// can be tested and skip() for every other one.
template <typename Test, typename Skip>
void Walk(const PreparedHistory& history, const WalkForwardPredictor& predictor, DrawRange range,
          PositionSource source, Test&& test, Skip&& skip) {
  const CandidateSets& sets = CandidateSets::Get();
  const bool useStored = source == PositionSource::kStoredWhereGiven;
  const int to = std::min(range.to, history.count());
  for (int n = std::max(range.from, kFirstTestableDraw); n <= to; ++n) {
    const PreparedDraw& draw = history.draw(n);
    const PreparedDraw& before = history.draw(n - 1);
    if (!draw.hasWinningNumber || !before.hasWinningNumber) {
      skip();
      continue;
    }
    StoredPosition position = StoredPosition::kNone;
    int key = 0;
    if (useStored && draw.storedPosition != StoredPosition::kNone) {
      if (draw.storedPosition == StoredPosition::kUnusable) {
        skip();
        continue;
      }
      position = draw.storedPosition;
      key = predictor.KeyFromStoredPosition(draw.positionDigits);
    } else {
      key = predictor.KeyFromPreviousWinning(before.winningDigits);
    }
    const SetCode& set = sets.Code(key);
    test(n, key, Compare(set, draw.winningShape), sets.Chances(set.stepCode), position);
  }
}

}  // namespace

KindScore ScoreDraws(const PreparedHistory& history, const WalkForwardPredictor& predictor,
                     DrawRange range, PositionSource source, HitKind kind) {
  KindScore score;
  Walk(
      history, predictor, range, source,
      [&](int, int, const DrawOutcome& outcome, const ChanceLevels& chances, StoredPosition) {
        ++score.draws;
        score.hits += IsHit(outcome, kind) ? 1 : 0;
        score.chanceThousandths += ChanceOf(chances, kind);
      },
      [] {});
  return score;
}

WalkTally WalkDraws(const PreparedHistory& history, const WalkForwardPredictor& predictor,
                    DrawRange range, PositionSource source, std::vector<TestedDraw>* tested) {
  WalkTally tally;
  // The chances follow from the candidate set: the draws are counted per set
  // and their chances added up once per set at the end.
  std::array<std::int32_t, kStepCodeCount> drawsOfSet{};
  const CandidateSets& sets = CandidateSets::Get();
  Walk(
      history, predictor, range, source,
      [&](int n, int key, const DrawOutcome& outcome, const ChanceLevels& chances,
          StoredPosition position) {
        ++tally.draws;
        ++drawsOfSet[sets.Code(key).stepCode];
        if (position != StoredPosition::kNone) {
          ++tally.storedPositions;
          tally.decidedPositions += position == StoredPosition::kDecided ? 1 : 0;
        }
        tally.kinds[0].hits += outcome.straight;
        tally.kinds[1].hits += outcome.box;
        tally.kinds[2].hits += outcome.mini;
        if (tested != nullptr)
          tested->push_back({n, key, outcome, chances, position != StoredPosition::kNone});
      },
      [&] { ++tally.skipped; });
  for (int code = 0; code < kStepCodeCount; ++code) {
    const std::int32_t draws = drawsOfSet[static_cast<std::size_t>(code)];
    if (draws == 0)
      continue;
    for (int kind = 0; kind < kHitKindCount; ++kind) {
      KindTally& kindTally = tally.kinds[static_cast<std::size_t>(kind)];
      const int chance = ChanceOf(sets.Chances(code), static_cast<HitKind>(kind));
      kindTally.chanceThousandths += static_cast<std::int64_t>(draws) * chance;
      kindTally.drawsAtChance[static_cast<std::size_t>(chance)] += draws;
    }
  }
  return tally;
}

}  // namespace kitebar
