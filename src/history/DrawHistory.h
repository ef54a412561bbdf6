#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Status.h"
#include "history/DrawRecord.h"

namespace kitebar {

inline constexpr char kHistoryFileName[] = "kitebarnum.dat";

// Where a history file stops being the ascending list that every writer
// produces: a line whose draw is not after the draw of the line before (a
// repeated or out-of-order draw, as a torn write or a stray line leaves it).
struct HistoryDamage {
  int line = 0;          // 1-based line of the file
  std::string text;      // that line, printable ASCII only
  int draw = 0;          // the draw the line names
  int previousDraw = 0;  // the draw of the last line read before it
};

// The past winning numbers and windmill positions, indexed by draw number
// (slots 1 to kMaxSlot), as kept in "kitebarnum.dat". `count` is the number of
// the last complete draw; a pending record, if any, is slot count + 1.
class DrawHistory {
 public:
  static constexpr int kMaxSlot = 40000;
  // The file's four-character number field holds draws up to 9999.
  static constexpr int kMaxDrawNumber = 9999;

  explicit DrawHistory(std::filesystem::path file = kHistoryFileName);

  // Reads the file. On failure (the file cannot be opened, is not a regular
  // file or is too large) `count` is 0 and the slots keep their contents. A
  // damaged file loads the draws before the damage, records where it is, and
  // is never written over: see damage().
  Status Load();
  // The same for the file's text already read.
  void LoadText(std::string_view contents);
  // Empties the history, as for a file that does not exist yet.
  void Clear();
  // Rewrites the file from slots 1 to count + 1, atomically. Refused when the
  // history was loaded from a damaged file.
  Status Save() const;
  // Writes `file` from the complete draws 1 to count (the import's "tmp.dat").
  // Refused as Save is.
  Status SaveCompleteDraws(const std::filesystem::path& file) const;

  // Where the file last loaded is damaged, if it is.
  const std::optional<HistoryDamage>& damage() const { return damage_; }
  // The refusal of a writer for a damaged history: where the damage is, what
  // was read, and what to do. Ok when the history is whole.
  Status CheckWhole() const;
  // The same as a warning for a reader, which works on the draws before the
  // damage; empty when the history is whole.
  std::string DamageWarning() const;

  // Stores the winning number of draw n (1 to count + 1); position and status
  // of the slot remain. Does not change count.
  Status SetDigits(int n, std::string_view digits);
  // Stores the windmill position and its status of draw n (1 to count + 1).
  Status SetPosition(int n, std::string_view position, char status);
  // Appends the next draw with the given digits and advances count.
  Status AppendImportedDraw(std::string_view digits);

  // The text of the file that Save writes.
  std::string SaveText() const;
  std::string CompleteDrawsText() const;

  const DrawRecord& record(int n) const { return slots_[static_cast<std::size_t>(n)]; }
  DrawRecord& record(int n) { return slots_[static_cast<std::size_t>(n)]; }
  const std::filesystem::path& file() const { return file_; }

  int count = 0;

 private:
  // Stores one line of the file; false when the line is damage, which ends
  // the load.
  bool ParseLine(std::string_view line, int lineNumber, bool& lastStoredPending);

  std::string DamageDescription() const;

  std::filesystem::path file_;
  std::vector<DrawRecord> slots_;
  std::optional<HistoryDamage> damage_;
};

// One line of a history file as the reader takes it: the draw it names (the
// value of its number field), its record, and whether it is a pending line.
// Nothing for a line that is not part of the format (column 4 not a comma).
struct HistoryLine {
  int draw = 0;
  DrawRecord record;
  bool pending = false;
};
std::optional<HistoryLine> ParseHistoryLine(std::string_view piece);

// A line of a history file as a message shows it: printable ASCII, at most 40
// characters.
std::string PrintableLine(std::string_view line);

// The three-digit entry rule of the dialogs: pads `entry` on the left with '0'
// to three characters (shown back to the user) and tells whether all three are
// digits.
struct ThreeDigitEntry {
  std::string padded;
  bool valid = false;
};
ThreeDigitEntry ApplyThreeDigitEntryRule(std::string_view entry);

}  // namespace kitebar
