#pragma once

#include <string>

#include "cli/Command.h"

namespace kitebar::cli {

// `load-csv FILE`: brings "kitebarnum.dat" up to date from a CSV of results.
class LoadCsvCommand final : public Command {
 public:
  CLI::App* Register(CLI::App& app) override;
  int Run() override;

 private:
  std::string csvFile_;
};

}  // namespace kitebar::cli
