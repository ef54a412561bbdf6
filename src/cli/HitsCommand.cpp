#include "cli/HitsCommand.h"

#include "cli/CommandSupport.h"
#include "cli/Output.h"
#include "common/NumberText.h"
#include "engine/BackTest.h"
#include "reports/HitReport.h"

namespace kitebar::cli {
namespace {

std::string TalliesLine(const HitTallies& t) {
  return "draws " + FormatInt(t.draws) + " wins " + FormatInt(t.wins) + " straight " +
         FormatInt(t.straight) + " box " + FormatInt(t.box) + " mini " + FormatInt(t.mini);
}

}  // namespace

CLI::App* HitsCommand::Register(CLI::App& app) {
  CLI::App* command = app.add_subcommand("hits", "Write the hit-statistics page (当選履歴)");
  command->add_flag("--all", all_, "Every draw with the summary (すべて); default: hits only");
  command->add_flag("--recent", recent_,
                    "Back-test the 500 most recent draws first (過去300回の履歴)");
  command->add_flag("--open", open_, "Open the page in the browser");
  return command;
}

int HitsCommand::Run() {
  if (recent_) {
    DrawHistory history;
    if (!LoadHistoryOrReport(history, DamageNotice::kLeaveToWriter))
      return kExitFailure;
    if (const Status tested = RunRecentBackTest(history); !tested.ok()) {
      PrintError(tested.message());
      return kExitFailure;
    }
  }
  const Result<HitTallies> tallies = WriteHitReport(
      recent_ ? HitReportVariant::kRecent : HitReportVariant::kRunning, !all_, nullptr);
  if (!tallies.ok()) {
    // The run's own files were saved before the page failed.
    PrintError(recent_ ? tallies.status()
                             .Wrapped("", "過去の成績「" + std::string(kRecentBackTestFile) +
                                              "」と推定した風車位置は保存してあります。")
                             .message()
                       : tallies.message());
    return kExitFailure;
  }
  if (!tallies->notice.empty())
    PrintError("注意: " + tallies->notice);
  PrintLine(TalliesLine(*tallies));
  return open_ ? OpenPageOrReport(recent_ ? kRecentHitReportPage : kHitReportPage) : kExitOk;
}

}  // namespace kitebar::cli
