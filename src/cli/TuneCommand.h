#pragma once

#include <cstdint>
#include <string>

#include "cli/Command.h"
#include "engine/SettingsSearch.h"

namespace kitebar::cli {

// `tune --train-to N [--kind straight|box|mini] [--budget K] [--seed S]
// [--threads J] [--save-to T] [--open]`: searches the settings on draws 2 to
// N and tests the best one on the draws after N. Prints four fixed lines and
// writes "Kitebar_tuning.html"; with --save-to, saves the best setting into
// set T. Ctrl+C stops the search: the lines and the page then give the best
// setting so far, nothing is saved and the exit status is 130.
class TuneCommand final : public Command {
 public:
  CLI::App* Register(CLI::App& app) override;
  int Run() override;

 private:
  int trainTo_ = 0;
  std::string kind_ = "box";
  int budget_ = kDefaultSearchBudget;
  std::uint64_t seed_ = kDefaultSearchSeed;
  int threads_ = 0;  // 0: one per core
  int saveTo_ = 0;   // 0: no saving
  bool open_ = false;
};

}  // namespace kitebar::cli
