#pragma once

#include <string>

#include "cli/Command.h"
#include "cli/SettingsSetCommands.h"
#include "settings/SettingsFiles.h"

namespace kitebar::cli {

// `settings`: prints every settings value as the program reads it, one line
// each: "<file> [<section>] <key>=<text>". Its sub-commands `set-type` and
// `set-core` save values.
class SettingsCommand final : public Command {
 public:
  CLI::App* Register(CLI::App& app) override;
  int Run() override;

 private:
  SetTypeCommand setType_;
  SetCoreCommand setCore_;
  CLI::App* setTypeApp_ = nullptr;
  CLI::App* setCoreApp_ = nullptr;
};

// One line of the listing: "<file> [<section>] <key>=<text>".
std::string SettingsLine(const SettingsEntry& entry);

}  // namespace kitebar::cli
