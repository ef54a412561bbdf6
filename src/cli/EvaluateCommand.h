#pragma once

#include <string>

#include "cli/Command.h"
#include "engine/Evaluation.h"

namespace kitebar::cli {

// `evaluate [--from N] [--to N] [--type T] [--stored-positions] [--open]`:
// the walk-forward evaluation against chance. Prints four fixed lines (a
// fifth with --stored-positions) and writes "Kitebar_kensho.html"; changes
// no other file.
// One line per kind, "straight hits H expected E p P", that scripts read;
// `record` prints its live figures in the same form.
std::string KindSummaryLines(const KindSummaries& kinds);

class EvaluateCommand final : public Command {
 public:
  CLI::App* Register(CLI::App& app) override;
  int Run() override;

 private:
  int from_ = 0;
  int to_ = 0;
  bool fromGiven_ = false;
  bool toGiven_ = false;
  int type_ = 0;
  bool storedPositions_ = false;
  bool open_ = false;
};

}  // namespace kitebar::cli
