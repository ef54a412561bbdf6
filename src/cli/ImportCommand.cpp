#include "cli/ImportCommand.h"

#include <unistd.h>

#include <cstdio>
#include <string>

#include "cli/CommandSupport.h"
#include "cli/Output.h"
#include "common/Feedback.h"
#include "history/DrawHistory.h"
#include "history/HttpFetcher.h"
#include "history/WebImport.h"

namespace kitebar::cli {
namespace {

// The import's message lines on stderr; on a terminal, a progress bar below
// them that each new line moves down.
class TerminalFeedback final : public Feedback {
 public:
  TerminalFeedback() : showBar_(::isatty(STDERR_FILENO) == 1) {}
  ~TerminalFeedback() override {
    if (barShown_)
      std::fputc('\n', stderr);
  }
  TerminalFeedback(const TerminalFeedback&) = delete;
  TerminalFeedback& operator=(const TerminalFeedback&) = delete;

  void SetProgress(int percent) override {
    percent_ = percent;
    DrawBar();
  }
  void AddFailureLine(std::string_view text) {
    ClearBar();
    PrintError(text);
  }
  void AddMessageLine(std::string_view text) override {
    ClearBar();
    Write(text);
    std::fputc('\n', stderr);
    DrawBar();
  }
  // The run's stop messages come back as its failure, which the command
  // prints as one line: shown here as well, they would say it twice.
  void ShowMessage(std::string_view, MessageIcon) override {}

 private:
  static constexpr int kBarWidth = 40;

  static void Write(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stderr); }

  void ClearBar() {
    if (barShown_)
      Write("\r\x1b[K");
    barShown_ = false;
  }
  void DrawBar() {
    if (!showBar_ || percent_ < 0)
      return;
    const int filled = percent_ * kBarWidth / 100;
    Write("\r[" + std::string(static_cast<std::size_t>(filled), '#') +
          std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "] " +
          std::to_string(percent_) + "%");
    std::fflush(stderr);
    barShown_ = true;
  }

  bool showBar_;
  bool barShown_ = false;
  int percent_ = -1;
};

// Nothing to show beyond the message lines: the history is printed by `history`.
class NoImportView final : public ImportView {
 public:
  void SetBusy(bool) override {}
  void ShowTargetDraw(int) override {}
  void RefreshControls() override {}
  void RefillDrawList() override {}
};

}  // namespace

CLI::App* ImportCommand::Register(CLI::App& app) {
  return app.add_subcommand("import",
                            "Add the winning numbers published on the result site "
                            "([TvalUrl] BaseURL of ./base.ini) to the draw history");
}

int ImportCommand::Run() {
  DrawHistory history;
  // A history that does not exist yet starts empty and is created by the
  // import; a damaged one is refused by the import itself.
  if (!LoadHistoryIfPresentOrReport(history, DamageNotice::kLeaveToWriter))
    return kExitFailure;
  TerminalFeedback feedback;
  HttpFetcher fetcher(feedback);
  NoImportView view;
  if (const Status imported = RunWebImport(history, fetcher, view, feedback); !imported.ok()) {
    feedback.AddFailureLine(std::string(kImportFailedMessage) + imported.message());
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace kitebar::cli
