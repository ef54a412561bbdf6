#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/Status.h"
#include "history/DrawRecord.h"

namespace kitebar {

inline constexpr char kHistoryFileName[] = "kitebarnum.dat";

// The past winning numbers and windmill positions, indexed by draw number
// (slots 1 to kMaxSlot), as kept in "kitebarnum.dat". `count` is the number of
// the last complete draw; a pending record, if any, is slot count + 1.
class DrawHistory {
 public:
  static constexpr int kMaxSlot = 40000;
  // The file's four-character number field holds draws up to 9999.
  static constexpr int kMaxDrawNumber = 9999;

  explicit DrawHistory(std::filesystem::path file = kHistoryFileName);

  // Reads the file. On failure (the file cannot be opened) `count` is 0 and the
  // slots keep their contents.
  Status Load();
  // Rewrites the file from slots 1 to count + 1, atomically.
  Status Save() const;
  // Writes `file` from the complete draws 1 to count (the import's "tmp.dat").
  Status SaveCompleteDraws(const std::filesystem::path& file) const;

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
  void ParseLine(std::string_view line, bool& lastStoredPending);

  std::filesystem::path file_;
  std::vector<DrawRecord> slots_;
};

// The three-digit entry rule of the dialogs: pads `entry` on the left with '0'
// to three characters (shown back to the user) and tells whether all three are
// digits.
struct ThreeDigitEntry {
  std::string padded;
  bool valid = false;
};
ThreeDigitEntry ApplyThreeDigitEntryRule(std::string_view entry);

}  // namespace kitebar
