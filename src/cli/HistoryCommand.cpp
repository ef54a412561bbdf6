#include "cli/HistoryCommand.h"

#include <string>

#include "cli/Output.h"
#include "common/NumberText.h"
#include "history/DrawHistory.h"

namespace kitebar::cli {

CLI::App* HistoryCommand::Register(CLI::App& app) {
  return app.add_subcommand("history", "Print the draw history as it is stored");
}

int HistoryCommand::Run() {
  DrawHistory history;
  if (const Status loaded = history.Load(); !loaded.ok()) {
    PrintError("当選番号の取得に失敗しました。" + loaded.message());
    return kExitFailure;
  }
  std::string out = "count " + FormatInt(history.count) + "\n";
  for (char c : history.SaveText()) {
    if (c != '\r')
      out += c;
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return kExitOk;
}

}  // namespace kitebar::cli
