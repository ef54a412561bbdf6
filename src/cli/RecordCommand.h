#pragma once

#include "cli/Command.h"

namespace kitebar::cli {

// `record`: the live score of the predictions recorded before their draws
// ("kitebar-record.csv"), after adding to the record the winning numbers it
// lacks. Prints three kinds of fixed lines: the counts, one line per kind in
// the form of `evaluate`, and whether the record's chain is whole. A broken
// record is scored up to its first broken line, which stderr names (exit
// status 1).
class RecordCommand final : public Command {
 public:
  CLI::App* Register(CLI::App& app) override;
  int Run() override;
};

}  // namespace kitebar::cli
