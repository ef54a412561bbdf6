#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/Status.h"

namespace kitebar {

// A line of a damaged history file that the repaired file leaves out, or
// one of the lines that the user has to choose between.
struct DroppedHistoryLine {
  int line = 0;      // 1-based line of the damaged file, as an editor counts lines
  int draw = 0;      // the draw it names
  std::string text;  // its bytes made visible
};

struct HistoryRepair {
  bool damaged = false;          // false: the file was whole and is left untouched
  int count = 0;                 // the last complete draw of the (repaired) history
  std::filesystem::path backup;  // the file as it was, kept beside it
  std::vector<DroppedHistoryLine> dropped;
  // Places that more than one different line fits, each with those lines:
  // the file alone cannot tell which is right, so nothing was changed.
  std::vector<std::vector<DroppedHistoryLine>> choices;
  // Draws 1 to count that the repaired history holds no winning number for,
  // as ranges (first, last).
  std::vector<std::pair<int, int>> missing;
  // Why the lines the user chose to keep cannot be kept: nothing was changed.
  std::string refusedChoice;
};

// Repairs the history file `file` as one change of its folder. A damaged file
// is first copied, byte for byte, to "<file>.<timestamp>.bak" beside it
// (never over an earlier copy), then replaced by its history as the file's
// own order decides it (HistoryRun): no line is moved to another draw and no
// number invented, and every line left out is listed. Where the file cannot
// decide between two lines, nothing is written and the choices are listed;
// `keepLines` (line numbers) decides them. A whole file is left as it is.
// `timestamp` is the local date and time, "YYYYMMDD-HHMMSS".
Result<HistoryRepair> RepairHistory(const std::filesystem::path& file, std::string_view timestamp,
                                    std::span<const int> keepLines = {});

}  // namespace kitebar
