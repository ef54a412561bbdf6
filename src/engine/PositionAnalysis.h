#pragma once

#include <string>

#include "common/Feedback.h"
#include "common/Status.h"

namespace kitebar {

class DrawHistory;

struct PositionAnalysis {
  // One line "d: PPP \r\n" per draw d = 1 to a - 1: the position estimated
  // from the winning number of draw d, which belongs to draw d + 1.
  std::string listing;
  // Single mode: the estimate for draw a, offered for the entry field.
  std::string estimate;
};

enum class AnalysisMode {
  // Every draw 2 to a with the "StartIndex" set; stored where a draw has no
  // position yet, and the history saved.
  kAutomatic,
  // Draw a only, with the chosen set; nothing stored.
  kSingle,
};

// Estimates windmill positions up to draw `drawNumber` (a); the automatic
// mode is one change of the folder, on the history as its file holds it now.
// Progress goes to `feedback` as 10 at the start and 100 at the end. Fails
// for a draw outside 2 to 9999 (in automatic mode also beyond count + 1),
// when a position would be estimated from a draw without a three-digit
// winning number (nothing is stored), and when the history cannot be saved
// (the new positions then stay in memory only).
Result<PositionAnalysis> AnalysePositions(DrawHistory& history, int drawNumber, AnalysisMode mode,
                                          int typeIndex, Feedback& feedback);

}  // namespace kitebar
