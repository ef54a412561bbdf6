#pragma once

#include <array>
#include <string>
#include <string_view>

#include "common/Status.h"
#include "engine/WindmillSimulator.h"

namespace kitebar {

class DrawHistory;

// How the ten candidates of a draw fared: main '0' no hit, '1' straight,
// '2' box; mini '0' none, '3' the tens and units in order.
struct BackTestResult {
  char main = '0';
  char mini = '0';
};

// The winning digits as the comparison sees them: each character's code,
// sign-extended to 16 bits.
using WinningDigits = std::array<int, 3>;
WinningDigits WinningDigitsOf(std::string_view digits);

// Classifies the hundreds, tens and units rows of `candidates` against the
// winning number.
BackTestResult CompareCandidates(const CandidateTable& candidates, const WinningDigits& winning);

// The two lines of a back-test file entry, as text mode writes them.
std::string BackTestEntry(int drawNumber, BackTestResult result);

// Replays the prediction of draw `drawNumber` (which may estimate and save its
// position), compares it with `winningDigits` and adds the entry to
// "Kitebard_100.dat" (toLast500File) or "Kitebard.dat", in one replacement
// of the file; an entry for the same draw at the end of the file is
// replaced. A draw whose prediction fails counts as having no candidates.
// Fails, with a message for the user, when the back-test file cannot be
// written.
Result<BackTestResult> BackTestDraw(DrawHistory& history, int drawNumber,
                                    std::string_view winningDigits, bool toLast500File);

// The recent-draws run: empties "Kitebard_100.dat", then back-tests the 500
// draws count - 499 to count, oldest first (from draw 2 when the history is
// shorter).
Status RunRecentBackTest(DrawHistory& history);

}  // namespace kitebar
