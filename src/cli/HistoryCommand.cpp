#include "cli/HistoryCommand.h"

#include <string>

#include "cli/CommandSupport.h"
#include "cli/Output.h"
#include "common/NumberText.h"
#include "history/DrawHistory.h"

namespace kitebar::cli {

CLI::App* HistoryCommand::Register(CLI::App& app) {
  return app.add_subcommand("history", "Print the draw history as it is stored");
}

int HistoryCommand::Run() {
  DrawHistory history;
  if (!LoadHistoryOrReport(history))
    return kExitFailure;
  std::string out = "count " + FormatInt(history.count) + "\n";
  for (char c : history.SaveText()) {
    if (c != '\r')
      out += c;
  }
  WriteText(stdout, out);
  return kExitOk;
}

}  // namespace kitebar::cli
