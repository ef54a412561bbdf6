#pragma once

#include "cli/Command.h"

namespace kitebar::cli {

// `history`: prints "count N", then the lines of "kitebarnum.dat" as a save
// would write them, without the CR.
class HistoryCommand final : public Command {
 public:
  CLI::App* Register(CLI::App& app) override;
  int Run() override;
};

}  // namespace kitebar::cli
