#pragma once

#include <string>
#include <string_view>

#include "common/Status.h"

namespace kitebar {

class DrawHistory;

struct Registration {
  // The entry padded to three characters, as the entry field shows it back.
  std::string padded;
  // False when the entry is not three digits: nothing was stored.
  bool stored = false;
  // The draw that was registered.
  int draw = 0;
  // Why the prediction record could not take what the registration adds to
  // it (see RecordAfterRegistration); empty when it did. The number is
  // registered all the same.
  std::string recordProblem;
};

// The draw a winning number is for, as the one who asked meant it. The
// registration decides it on the history as its file holds when the change
// begins, so that a draw another writer took in the meantime is never written
// over.
class RegistrationTarget {
 public:
  // Whichever draw is next then (the command line's "register NNN").
  static RegistrationTarget NextDraw() { return RegistrationTarget(Kind::kNext, 0); }
  // The next draw, shown to the user as `draw`: refused when it is not the
  // next draw any more.
  static RegistrationTarget NewDraw(int draw) { return RegistrationTarget(Kind::kNew, draw); }
  // A correction of draw `draw`, which must be in the history.
  static RegistrationTarget Correction(int draw) {
    return RegistrationTarget(Kind::kCorrection, draw);
  }

  enum class Kind { kNext, kNew, kCorrection };
  Kind kind() const { return kind_; }
  int draw() const { return draw_; }

 private:
  RegistrationTarget(Kind kind, int draw) : kind_(kind), draw_(draw) {}
  Kind kind_;
  int draw_;
};

// What to do when the next draw would be past the last one the history can
// hold. The file's draw numbers have four digits; a full file is most often
// one with a mistyped draw number near its end, which repair puts right.
inline constexpr char kHistoryFullAdvice[] =
    "当選番号ファイルに記録できるのは第 9999 回までで、ファイルはそこまで埋まっています。"
    "回の番号を打ち間違えた行があるときは「kitebar-cli repair」で直してください。"
    "第 9999 回まで本当に記録したときは、新しいフォルダーで新しい当選番号ファイルを"
    "作ってください（「kitebar-cli load-csv」）。";

// Registers a winning number typed by the user, as one change of the folder.
// For a new draw the draw is back-tested first: its entry in "Kitebard.dat"
// and its winning number in the history are both kept or both left out. For
// a draw 1 to count the number is corrected without back-test. A pending
// record keeps its position. Once the number is saved, the prediction record
// takes it (and for a new draw the prediction of the next one). Fails, with a message for the user
// and the files as they were, when a file cannot be written or the target no longer applies.
Result<Registration> RegisterWinningNumber(DrawHistory& history, RegistrationTarget target,
                                           std::string_view entry);

// The same for the winning-number dialog's target draw: count + 1 of the
// history it shows (a new draw), or a draw 1 to count (a correction).
Result<Registration> RegisterWinningNumber(DrawHistory& history, int targetDraw,
                                           std::string_view entry);

// Registers a windmill position decided by the user for draw `drawNumber`
// (1 to count + 1 of the history as its file holds it now) with status '1',
// and saves the history.
Result<Registration> RegisterPosition(DrawHistory& history, int drawNumber, std::string_view entry);

}  // namespace kitebar
