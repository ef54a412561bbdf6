#pragma once

#include <string>

#include "cli/Command.h"

namespace kitebar::cli {

// `load-csv [--dry-run] FILE`: brings "kitebarnum.dat" up to date from a file
// of results (a CSV, or a table copied from a page; "-" for standard input),
// after printing what it holds.
class LoadCsvCommand final : public Command {
 public:
  CLI::App* Register(CLI::App& app) override;
  int Run() override;

 private:
  std::string csvFile_;
  bool dryRun_ = false;
};

}  // namespace kitebar::cli
