// Feeds an arbitrary back-test file to the hit-statistics reader: the tallies
// stay consistent with each other, the page is complete in both filters and
// converts to Shift_JIS.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "common/ShiftJis.h"
#include "reports/HitReport.h"

namespace {

using kitebar::fuzz::Require;

constexpr std::string_view kPageEnd = "</table><br>\n<br><br><br></center></body></html>\n";

void CheckReport(std::string_view records, bool hitsOnly) {
  const kitebar::HitReport report = kitebar::BuildHitReport(records, hitsOnly);
  const kitebar::HitTallies& t = report.tallies;
  Require(t.draws >= 0 && t.wins >= 0 && t.straight >= 0 && t.box >= 0 && t.mini >= 0);
  Require(t.straight + t.box <= t.wins && t.wins <= t.draws && t.mini <= t.draws);
  Require(report.page.starts_with("<html>"));
  Require(report.page.ends_with(kPageEnd));
  Require(report.page.find("総合") != std::string::npos || hitsOnly);
  Require(kitebar::Utf8ToShiftJis(report.page).ok());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view records = kitebar::fuzz::AsText(data, size);
  CheckReport(records, true);
  CheckReport(records, false);
  return 0;
}
