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
  int drawNumber_ = 0;  // 0: count + 1
  int type_ = 1;
};

}  // namespace kitebar::cli
