#pragma once

#include <array>
#include <functional>
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

// A change of a back-test file prepared under the folder's lock: the file's
// new contents, or none when it stays as it is.
struct BackTestChange {
  std::optional<std::string> contents;
};

// The entry of one draw added at the end of back-test file `file`; an entry
// for the same draw at the end of the file is replaced. Refused, before
// anything is written, when the file would grow past what its reader accepts.
Result<BackTestChange> PrepareBackTestEntry(const char* file, int drawNumber,
                                            BackTestResult result);
// Every entry of draw `drawNumber` in `file` given `result`: the draw's number
// was corrected, and an entry must never stand for a number that the history
// no longer holds. No change when the file has no entry of the draw.
Result<BackTestChange> PrepareBackTestRescore(const char* file, int drawNumber,
                                              const std::function<BackTestResult()>& score);
// Writes a prepared change, if there is one.
Status WriteBackTestChange(const char* file, const BackTestChange& change);

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
