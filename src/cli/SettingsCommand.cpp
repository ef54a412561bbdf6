#include "cli/SettingsCommand.h"

#include "cli/Output.h"
#include "settings/SettingsFiles.h"

namespace kitebar::cli {

CLI::App* SettingsCommand::Register(CLI::App& app) {
  return app.add_subcommand("settings", "Print every settings value as it is read");
}

int SettingsCommand::Run() {
  for (const SettingsEntry& entry : ReadAllSettings()) {
    PrintLine(entry.file + " [" + entry.section + "] " + entry.key + "=" + entry.text);
  }
  return kExitOk;
}

}  // namespace kitebar::cli
