#pragma once

#include "cli/Command.h"

namespace kitebar::cli {

// `import`: brings "kitebarnum.dat" up to date from the result site named in
// "./base.ini" ([TvalUrl] BaseURL), resuming at the bookmark [TvalUrl] EndURL.
// The run's message lines go to stderr, with a progress bar when stderr is a
// terminal. Exit 0 once the run has completed, 1 after a failure.
class ImportCommand final : public Command {
 public:
  CLI::App* Register(CLI::App& app) override;
  int Run() override;
};

}  // namespace kitebar::cli
