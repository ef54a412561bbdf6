#include "cli/RepairCommand.h"

#include <ctime>
#include <string>

#include "cli/Output.h"
#include "common/NumberText.h"
#include "history/DrawHistory.h"
#include "history/HistoryRepair.h"

namespace kitebar::cli {
namespace {

std::string LocalTimestamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return text;
}

}  // namespace

CLI::App* RepairCommand::Register(CLI::App& app) {
  return app.add_subcommand(
      "repair",
      "Mend a damaged kitebarnum.dat (a draw repeated or out of order): the draws in ascending "
      "order, each once; the file as it was is kept as kitebarnum.dat.<date-time>.bak");
}

int RepairCommand::Run() {
  const Result<HistoryRepair> repair = RepairHistory(kHistoryFileName, LocalTimestamp());
  if (!repair.ok()) {
    PrintError(repair.message());
    return kExitFailure;
  }
  if (!repair->damaged) {
    PrintLine("history whole count " + FormatInt(repair->count));
    return kExitOk;
  }
  PrintLine("repaired count " + FormatInt(repair->count) + " backup " + repair->backup.string());
  for (const DroppedHistoryLine& dropped : repair->dropped) {
    PrintLine("dropped line " + FormatInt(dropped.line) + " draw " + FormatInt(dropped.draw) +
              ": " + dropped.text);
  }
  return kExitOk;
}

}  // namespace kitebar::cli
