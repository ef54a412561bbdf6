#include "cli/AnalyseCommand.h"
#include "cli/Command.h"
#include "cli/EvaluateCommand.h"
#include "cli/HistoryCommand.h"
#include "cli/HitsCommand.h"
#include "cli/ImportCommand.h"
#include "cli/LoadCsvCommand.h"
#include "cli/PredictCommand.h"
#include "cli/RecordCommand.h"
#include "cli/RegisterCommands.h"
#include "cli/RepairCommand.h"
#include "cli/SettingsCommand.h"
#include "cli/TuneCommand.h"

namespace kitebar::cli {

std::vector<std::unique_ptr<Command>> MakeCommands() {
  std::vector<std::unique_ptr<Command>> commands;
  commands.push_back(std::make_unique<HistoryCommand>());
  commands.push_back(std::make_unique<SettingsCommand>());
  commands.push_back(std::make_unique<LoadCsvCommand>());
  commands.push_back(std::make_unique<ImportCommand>());
  commands.push_back(std::make_unique<PredictCommand>());
  commands.push_back(std::make_unique<AnalyseCommand>());
  commands.push_back(std::make_unique<PositionCommand>());
  commands.push_back(std::make_unique<RegisterCommand>());
  commands.push_back(std::make_unique<HitsCommand>());
  commands.push_back(std::make_unique<RepairCommand>());
  commands.push_back(std::make_unique<EvaluateCommand>());
  commands.push_back(std::make_unique<RecordCommand>());
  commands.push_back(std::make_unique<TuneCommand>());
  return commands;
}

}  // namespace kitebar::cli
