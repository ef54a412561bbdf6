#pragma once

#include <vector>

#include "cli/Command.h"

namespace kitebar::cli {

// `repair [--keep-line L]...`: mends a damaged "kitebarnum.dat", keeping a
// dated copy of the file as it was. Prints "history whole count N" for a file
// that needs nothing, otherwise "repaired count N backup FILE", a line
// "dropped line L draw D: TEXT" for each line left out and a line
// "missing draw D: …" (or "missing draws D-E: …") for the draws left without
// a winning number. Where the file cannot tell which of two lines is right it
// changes nothing, prints "candidate line L draw D: TEXT" for each and exits
// with 1; --keep-line L chooses (exit status 2 when a line named cannot be
// kept).
class RepairCommand final : public Command {
 public:
  CLI::App* Register(CLI::App& app) override;
  int Run() override;

 private:
  std::vector<int> keepLines_;
};

}  // namespace kitebar::cli
