#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/FileLimits.h"
#include "common/Status.h"
#include "engine/PredictionRun.h"

namespace kitebar {

class DrawHistory;

// The record of the predictions as they were shown, before their draws:
// "kitebar-record.csv" in the working folder, UTF-8, one line an entry, and
// only ever added to. Each line is
//   time,kind,draw,set,digest,numbers,chain
// time  the moment of the entry, UTC: 2025-01-06T09:30:00Z (the environment
//       variable KITEBAR_RECORD_TIME, in that form, stands in for the clock
//       where two builds must write the same bytes: the cross-platform tests)
// kind  "predict": a prediction shown for a draw whose result was not held;
//       "result": the winning number that the draw's predictions were first
//       (or, after a correction, again) scored against
// draw  the draw, 1 to 9999
// set, digest  for "predict": the setting set (1 to 5) and the digest of the
//       values the candidates were computed with (Prediction::settingsDigest);
//       empty for "result"
// numbers  the ten candidates ("911 842 … 080"), or the winning number
// chain  SHA-256, in hexadecimal, of the previous line's chain value (for
//       the first line kRecordGenesis), a comma and this line up to its last
//       comma: an edited, removed or reordered line breaks it.
// Lines of blanks are passed over (an addition that would cross a page of the
// file starts a new page, see PageAlignedLines).
inline constexpr char kPredictionRecordFile[] = "kitebar-record.csv";
inline constexpr std::string_view kRecordGenesis =
    "0000000000000000000000000000000000000000000000000000000000000000";

// The record of the working folder that holds `history`'s file.
std::filesystem::path PredictionRecordFileOf(const DrawHistory& history);

struct RecordEntry {
  enum class Kind { kPrediction, kResult };
  Kind kind = Kind::kPrediction;
  int line = 0;      // 1-based line of the file
  std::string time;  // as written, UTC
  int draw = 0;
  int settingsType = 0;                           // 0 to 4 (predictions)
  std::string digest;                             // (predictions)
  std::array<int, kCandidateCount> candidates{};  // 0 to 999 (predictions)
  int winning = 0;                                // 0 to 999 (results)
};

// Where the record stops being whole: the first line that is not a line
// Kitebar wrote after the one before it.
struct RecordBreak {
  int line = 0;
  std::string reason;  // a sentence for the user
};

// The record as read: every entry before the first broken line.
struct ParsedRecord {
  std::vector<RecordEntry> entries;
  std::string head = std::string(kRecordGenesis);  // the chain value of the last entry
  int lines = 0;                                   // the lines read whole, blank ones included
  std::optional<RecordBreak> broken;
};

ParsedRecord ParseRecord(std::string_view text);

// The message for a broken record: the file, the line, the reason, that
// nothing from that line on is scored or added to, and what to do.
std::string RecordBreakMessage(const std::filesystem::path& file, const RecordBreak& broken);

// The line of `entry` (its `line` aside) after a line with chain value
// `previousChain`, ending in '\n'.
std::string RecordLine(const RecordEntry& entry, std::string_view previousChain);

enum class RecordOutcome {
  kAdded,
  kAlreadyRecorded,  // the same draw, set, digest and candidates are there
  kResultKnown,      // the draw's result is in the history, or was in the record
};

// Adds the entry of `prediction`, just shown, to the record, as one change
// of the folder: under the write lock, with the history as its file holds it
// now. Never for a draw whose result is held (that would be hindsight), and
// nothing when the same prediction is recorded already. Fails, with a
// message that names the file (and line) and adds nothing, when the record
// cannot be read or written, is broken, or when the lock is kept by another
// writer; the prediction itself stands.
Result<RecordOutcome> RecordShownPrediction(DrawHistory& history, const Prediction& prediction);

// Adds to the record `entries` (their lines are numbered anew) after the
// parsed record `record` of `file`: the caller holds the folder's lock and
// read `record` under it. Refused when `record` is broken.
Status AppendRecordEntries(const std::filesystem::path& file, const ParsedRecord& record,
                           std::vector<RecordEntry> entries);

// Reads and parses the record; a missing file is an empty record.
Result<ParsedRecord> ReadPredictionRecord(const std::filesystem::path& file);

// The winning number of `draw` that the history holds, or none.
std::optional<int> HeldWinningNumber(const DrawHistory& history, int draw);

// The "result" entries the record lacks now: for each draw with recorded
// predictions (`onlyDraw` alone when it is not 0) whose winning number the
// history holds, that number, unless it is the last one recorded for the
// draw. A draw's first one seals what its predictions are scored against; a
// later, different one is a correction, and counted as one.
std::vector<RecordEntry> MissingResults(const ParsedRecord& record, const DrawHistory& history,
                                        int onlyDraw = 0);

// What the registration of the winning number of `draw` adds to the record,
// inside the change that the registration holds: that number when the
// record has predictions for the draw, and for a new draw the prediction of
// the draw after it, as 予想開始 would show it now (computed without saving
// a position). Fails, with a message for the user, when the record cannot be
// read or written or is broken; the registration stands.
Status RecordAfterRegistration(const DrawHistory& history, int draw, bool newDraw);

}  // namespace kitebar
