#pragma once

#include "cli/Command.h"

namespace kitebar::cli {

// `repair`: mends a damaged "kitebarnum.dat" (a draw repeated or out of
// order), keeping a dated copy of the file as it was. Prints
// "history whole count N" for a file that needs nothing, otherwise
// "repaired count N backup FILE" and a line "dropped line L draw D: TEXT" for
// each line left out.
class RepairCommand final : public Command {
 public:
  CLI::App* Register(CLI::App& app) override;
  int Run() override;
};

}  // namespace kitebar::cli
