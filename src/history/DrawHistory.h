#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/Status.h"
#include "history/DrawRecord.h"
#include "history/HistoryFileLines.h"

namespace kitebar {

inline constexpr char kHistoryFileName[] = "kitebarnum.dat";

// Where a history file stops being the ascending list of draws that every
// writer produces: the first line that is not simply part of its history (a
// line whose draw breaks the run of ascending draws, a repeated or beaten
// line, a line that cannot be read as it stands, or one of two lines that fit
// the same place).
struct HistoryDamage {
  int line = 0;        // 1-based line of the file, as an editor counts lines
  std::string text;    // that line, its bytes made visible
  int draw = 0;        // the draw the line names
  std::string reason;  // what is wrong with it, a sentence for the user
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

  // Keeps the lines of a file that hold no draw where they stood: each after
  // the draw of the last of the `kept` lines (indices into `lines`, in file
  // order) before it. For a history built from a file's lines.
  void KeepPassedOverLines(std::span<const HistoryFileLine> lines,
                           std::span<const std::size_t> kept,
                           std::span<const PassedOverLine> passedOver);

 private:
  std::string DamageDescription() const;

  std::filesystem::path file_;
  std::vector<DrawRecord> slots_;
  std::optional<HistoryDamage> damage_;
  // The lines that hold no draw (a header, a note, a blank line), each with
  // the draw it follows (0: before the first): a rewrite keeps them there.
  std::vector<std::pair<int, std::string>> passedOver_;
};

// The text of a history file that an editor saved as UTF-16 (with or without
// a byte-order mark), turned into the UTF-8 that the file should hold; none
// for any other file.
std::optional<std::string> HistoryTextFromUtf16(std::string_view contents);

// The three-digit entry rule of the dialogs: pads `entry` on the left with '0'
// to three characters (shown back to the user) and tells whether all three are
// digits. Full-width digits count as the digits they are (see NarrowDigits).
struct ThreeDigitEntry {
  std::string padded;
  bool valid = false;
};
ThreeDigitEntry ApplyThreeDigitEntryRule(std::string_view entry);

}  // namespace kitebar
