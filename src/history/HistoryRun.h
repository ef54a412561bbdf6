#pragma once

#include <span>
#include <vector>

#include "common/Status.h"
#include "history/HistoryFileLines.h"

namespace kitebar {

// Which lines of a history file make its history, decided by the file's own
// order: the longest run of lines whose draws ascend is the history, and a
// line whose draw breaks that run is a stray one. Where lines fit the run
// equally well, a line with a three-digit winning number beats one without
// (a pending or an empty line), and a line repeated byte for byte counts
// once. What the file alone cannot decide (two different lines that fit in
// the same place) is left to the user. Indices are into the lines given.
struct HistoryRun {
  // Why a line is left out of the history.
  enum class Reason {
    kStray,       // its draw breaks the run
    kUnreadable,  // see the line's fault
    kRepeated,    // the same as a line of the run
    kBeaten,      // no winning number, where a line of the run has one
  };
  struct Left {
    std::size_t index = 0;
    Reason reason = Reason::kStray;
    std::size_t other = 0;  // kRepeated, kBeaten: the line of the run
  };

  std::vector<std::size_t> kept;  // the history's lines, ascending; see choices
  std::vector<Left> left;         // the lines left out, in file order
  // Places of the run that more than one different line fits, each with
  // those lines (in file order). While there are any, `kept` holds only
  // the lines that every choice keeps.
  std::vector<std::vector<std::size_t>> choices;

  bool whole() const { return left.empty() && choices.empty(); }
  // The first line (in file order) that is not simply part of the history:
  // left out or one of a choice. lines.size() when the history is whole.
  std::size_t FirstDamage(std::size_t lineCount) const;
};

// Finds the run of `lines`. `keepLines` are line numbers (as in
// HistoryFileLine::line) that the user chose to keep: each must be a
// readable line that holds a draw, and the kept lines must fit one run;
// every line that does not fit with them is left out.
Result<HistoryRun> FindHistoryRun(std::span<const HistoryFileLine> lines,
                                  std::span<const int> keepLines = {});

}  // namespace kitebar
