#pragma once

#include <string>

#include "cli/Command.h"

namespace kitebar::cli {

// `register [--draw N] NNN`: the winning-number dialog's "登録>>", for the
// next draw (with its back-test) or as a correction of draw N.
class RegisterCommand final : public Command {
 public:
  CLI::App* Register(CLI::App& app) override;
  int Run() override;

 private:
  int drawNumber_ = 0;
  bool drawGiven_ = false;  // without --draw: the next draw
  std::string entry_;
};

// `position N PPP`: the settings dialog's "登録>>" for a decided position.
class PositionCommand final : public Command {
 public:
  CLI::App* Register(CLI::App& app) override;
  int Run() override;

 private:
  int drawNumber_ = 0;
  std::string entry_;
};

}  // namespace kitebar::cli
