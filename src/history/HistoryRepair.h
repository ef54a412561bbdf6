#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/Status.h"

namespace kitebar {

// A line of a damaged history file that the repaired file leaves out.
struct DroppedHistoryLine {
  int line = 0;      // 1-based line of the damaged file
  int draw = 0;      // the draw it names
  std::string text;  // printable ASCII only
};

struct HistoryRepair {
  bool damaged = false;          // false: the file was whole and is left untouched
  int count = 0;                 // the last complete draw of the (repaired) history
  std::filesystem::path backup;  // the file as it was, kept beside it
  std::vector<DroppedHistoryLine> dropped;
};

// Repairs the history file `file` as one change of its folder. A damaged file
// (a draw repeated or out of order) is first copied, byte for byte, to
// "<file>.<timestamp>.bak" beside it (never over an earlier copy), then
// replaced by its draws in ascending order, each draw once: its first
// complete line, or its first pending line when it has no complete one. Every
// other line of the format is dropped and listed. A whole file is left as it
// is. `timestamp` is the local date and time, "YYYYMMDD-HHMMSS".
Result<HistoryRepair> RepairHistory(const std::filesystem::path& file, std::string_view timestamp);

}  // namespace kitebar
