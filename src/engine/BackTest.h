#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "common/Status.h"
#include "engine/WindmillSimulator.h"

namespace kitebar {

class DrawHistory;

// The back-test records: every draw registered since the file began, and the
// recent-draws run.
inline constexpr char kBackTestFile[] = "Kitebard.dat";
inline constexpr char kRecentBackTestFile[] = "Kitebard_100.dat";

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

// One draw replayed in memory: its prediction (which may estimate the draw's
// position and store it in `history`, unsaved) compared with `winningDigits`.
// A draw whose prediction fails counts as having no candidates.
struct BackTestedDraw {
  BackTestResult result;
  bool estimated = false;  // the history holds a new estimated position
};
BackTestedDraw BackTestInMemory(DrawHistory& history, int drawNumber,
                                std::string_view winningDigits);

// Adds the entry of one draw to back-test file `file` in one replacement; an
// entry for the same draw at the end of the file is replaced. Returns what the
// file held before (nothing when it did not exist), so that a change that
// fails later can take the entry back.
Result<std::optional<std::string>> AddBackTestEntry(const char* file, int drawNumber,
                                                    BackTestResult result);
// Puts back what AddBackTestEntry returned.
Status RestoreBackTestFile(const char* file, const std::optional<std::string>& previous);

// Replays the prediction of draw `drawNumber`, compares it with
// `winningDigits` and adds the entry to "Kitebard_100.dat" (toLast500File) or
// "Kitebard.dat", as one change of the folder: a position the prediction
// estimates is saved to the history first. Fails, with a message for the user,
// when a file cannot be written.
Result<BackTestResult> BackTestDraw(DrawHistory& history, int drawNumber,
                                    std::string_view winningDigits, bool toLast500File);

// The recent-draws run, as one change of the folder: back-tests the 500 draws
// count - 499 to count, oldest first (from draw 2 when the history is
// shorter), in memory, then saves the history once (when positions were
// estimated) and replaces "Kitebard_100.dat" with the 500 entries. Fails, with
// a message and "Kitebard_100.dat" as it was, when a file cannot be written.
Status RunRecentBackTest(DrawHistory& history);

}  // namespace kitebar
