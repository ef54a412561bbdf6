#include "cli/SettingsCommand.h"

#include "cli/Output.h"

namespace kitebar::cli {

std::string SettingsLine(const SettingsEntry& entry) {
  return entry.file + " [" + entry.section + "] " + entry.key + "=" + entry.text;
}

CLI::App* SettingsCommand::Register(CLI::App& app) {
  CLI::App* command = app.add_subcommand("settings", "Print every settings value as it is read");
  command->require_subcommand(0, 1);
  setTypeApp_ = setType_.Register(*command);
  setCoreApp_ = setCore_.Register(*command);
  return command;
}

int SettingsCommand::Run() {
  if (setTypeApp_->parsed())
    return setType_.Run();
  if (setCoreApp_->parsed())
    return setCore_.Run();
  for (const SettingsEntry& entry : ReadAllSettings())
    PrintLine(SettingsLine(entry));
  return kExitOk;
}

}  // namespace kitebar::cli
