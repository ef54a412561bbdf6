#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "common/Status.h"
#include "engine/BackTest.h"
#include "history/DrawHistory.h"
#include "reports/PageOpener.h"

namespace kitebar {

inline constexpr char kHitReportPage[] = "Kitebar.html";
inline constexpr char kRecentHitReportPage[] = "Kitebar_100.html";

// Variant 0 reports the running back-test record, variant 1 the recent-draws run.
enum class HitReportVariant { kRunning = 0, kRecent = 1 };

struct HitTallies {
  int draws = 0;  // records read (result lines)
  int wins = 0;   // straight or box
  int straight = 0;
  int box = 0;
  int mini = 0;
  int lastDrawNumber = 0;  // the last number line read: the first row's number
  // What was left out of the count, and why; empty when nothing was.
  std::string notice;
};

struct HitReport {
  HitTallies tallies;
  std::string page;  // UTF-8 with '\n' line ends
};

// Tallies the back-test `records` (two lines per draw) and builds the page:
// every draw, with the summary, or only the draws with a hit; `notice`, when
// given, heads the table.
HitReport BuildHitReport(std::string_view records, bool hitsOnly, std::string_view notice = {});

// The entries of back-test `records` that stand for a draw as `history` holds
// it: an entry of a draw that the history lacks (a registration cut short
// between its two files, an older history put back) is left out, and of
// several entries of one draw only the last counts, so that no hit is shown
// for a number that the history does not hold. `notice` says what was left
// out.
struct HeldEntries {
  std::string records;
  std::string notice;
};
HeldEntries EntriesOfHeldDraws(std::string_view records, const DrawHistory& history);

// Reads the variant's back-test file, writes its page in Shift_JIS with CR LF
// and hands it to `opener` (when given). Fails when the back-test file cannot
// be read or the page cannot be written.
Result<HitTallies> WriteHitReport(HitReportVariant variant, bool hitsOnly, PageOpener* opener);

}  // namespace kitebar
