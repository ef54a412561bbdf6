#pragma once

#include "cli/Command.h"

namespace kitebar::cli {

// `predict`: the candidates of the next draw, printed and written to
// "showyosou.html" (and opened in the browser with --open).
// `predict --draw N`: the listing of the candidates of draw N; no page.
class PredictCommand final : public Command {
 public:
  CLI::App* Register(CLI::App& app) override;
  int Run() override;

 private:
  int RunNextDraw();
  int RunListing();

  int drawNumber_ = 0;
  bool drawGiven_ = false;
  bool open_ = false;
};

}  // namespace kitebar::cli
