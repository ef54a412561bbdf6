#pragma once

#include "cli/Command.h"

namespace kitebar::cli {

// `analyse [--auto] [--draw N] [--type T]`: the settings dialog's "解析".
class AnalyseCommand final : public Command {
 public:
  CLI::App* Register(CLI::App& app) override;
  int Run() override;

 private:
  bool automatic_ = false;
  int drawNumber_ = 0;
  bool drawGiven_ = false;  // without --draw: the next draw
  int type_ = 1;
};

}  // namespace kitebar::cli
