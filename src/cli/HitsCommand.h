#pragma once

#include "cli/Command.h"

namespace kitebar::cli {

// `hits [--all] [--recent] [--open]`: the hit-statistics pages of the
// winning-number dialog's "当選履歴" group.
class HitsCommand final : public Command {
 public:
  CLI::App* Register(CLI::App& app) override;
  int Run() override;

 private:
  bool all_ = false;
  bool recent_ = false;
  bool open_ = false;
};

}  // namespace kitebar::cli
