#pragma once

#include <string>

#include "cli/Command.h"

namespace kitebar::cli {

// `tune --train-to N [--kind straight|box|mini] [--threads J] [--save-to T]
// [--open]`: scores every rule on draws 2 to N, prices the choice of the best
// with the adjusted p-value and tests the best on the draws after N. Prints
// five fixed lines and writes "Kitebar_tuning.html"; with --save-to, saves
// the best rule into set T with as few values changed as can be. The
// retired --budget and --seed are refused. Ctrl+C stops the simulation:
// nothing is written and the exit status is 130.
class TuneCommand final : public Command {
 public:
  CLI::App* Register(CLI::App& app) override;
  int Run() override;

 private:
  int trainTo_ = 0;
  std::string kind_ = "box";
  std::string retiredOption_;
  bool retiredGiven_ = false;
  int threads_ = 0;  // 0: one per core
  int saveTo_ = 0;   // 0: no saving
  bool open_ = false;
};

}  // namespace kitebar::cli
