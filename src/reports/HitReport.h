#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "common/Status.h"
#include "engine/BackTest.h"
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
};

struct HitReport {
  HitTallies tallies;
  std::string page;  // UTF-8 with '\n' line ends
};

// Tallies the back-test `records` (two lines per draw) and builds the page:
// every draw, with the summary, or only the draws with a hit.
HitReport BuildHitReport(std::string_view records, bool hitsOnly);

// Reads the variant's back-test file, writes its page in Shift_JIS with CR LF
// and hands it to `opener` (when given). Fails when the back-test file cannot
// be read or the page cannot be written.
Result<HitTallies> WriteHitReport(HitReportVariant variant, bool hitsOnly, PageOpener* opener);

}  // namespace kitebar
