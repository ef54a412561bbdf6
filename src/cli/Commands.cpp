#include "cli/Command.h"
#include "cli/HistoryCommand.h"
#include "cli/LoadCsvCommand.h"
#include "cli/SettingsCommand.h"

namespace kitebar::cli {

std::vector<std::unique_ptr<Command>> MakeCommands() {
  std::vector<std::unique_ptr<Command>> commands;
  commands.push_back(std::make_unique<HistoryCommand>());
  commands.push_back(std::make_unique<SettingsCommand>());
  commands.push_back(std::make_unique<LoadCsvCommand>());
  return commands;
}

}  // namespace kitebar::cli
