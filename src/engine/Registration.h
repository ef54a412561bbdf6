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
};

// Registers a winning number typed by the user. For the next draw
// (`targetDraw` = count + 1) the draw is back-tested first and `count`
// advances once the history is saved; for a draw 1 to count the number is
// corrected without back-test. A pending record keeps its position. Fails,
// with a message for the user and the files as they were, when the back-test
// file or the history cannot be written.
Result<Registration> RegisterWinningNumber(DrawHistory& history, int targetDraw,
                                           std::string_view entry);

// Registers a windmill position decided by the user for draw `drawNumber`
// (1 to count + 1) with status '1', and saves the history.
Result<Registration> RegisterPosition(DrawHistory& history, int drawNumber, std::string_view entry);

}  // namespace kitebar
