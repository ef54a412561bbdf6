#pragma once

#include "cli/Command.h"

namespace kitebar::cli {

// `settings`: prints every settings value as the program reads it, one line
// each: "<file> [<section>] <key>=<text>".
class SettingsCommand final : public Command {
 public:
  CLI::App* Register(CLI::App& app) override;
  int Run() override;
};

}  // namespace kitebar::cli
