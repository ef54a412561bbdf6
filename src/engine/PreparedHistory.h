#pragma once

#include <cstdint>
#include <vector>

#include "engine/CandidateSets.h"
#include "engine/WalkForwardPredictor.h"

namespace kitebar {

class DrawHistory;

// What the history holds as the windmill position of a draw, as the
// prediction run sees it.
enum class StoredPosition : std::uint8_t {
  kNone,       // the run estimates one
  kEstimated,  // three digits, state estimated
  kDecided,    // three digits, state decided
  kUnusable,   // present, but not three digits: the run cannot predict from it
};

// One draw as the evaluations need it, with everything that does not depend
// on a setting worked out once.
struct PreparedDraw {
  bool hasWinningNumber = false;  // three digits
  DigitTriple winningDigits{};
  WinningShape winningShape{};
  StoredPosition storedPosition = StoredPosition::kNone;
  DigitTriple positionDigits{};
};

// The complete draws of a history, read once, for evaluating any number of
// settings over them without going back to the history.
class PreparedHistory {
 public:
  explicit PreparedHistory(const DrawHistory& history);
  // Draws 1 to `lastDraw` only (or to the last complete draw, if that comes
  // first): what follows is not there to be looked at.
  PreparedHistory(const DrawHistory& history, int lastDraw);

  // The number of the last complete draw.
  int count() const { return static_cast<int>(draws_.size()) - 1; }
  // Draw n, 1 to count.
  const PreparedDraw& draw(int n) const { return draws_[static_cast<std::size_t>(n)]; }

 private:
  std::vector<PreparedDraw> draws_;  // slot 0 unused
};

}  // namespace kitebar
