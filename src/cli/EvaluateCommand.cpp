#include "cli/EvaluateCommand.h"

#include <array>
#include <string>

#include "cli/CommandSupport.h"
#include "cli/Output.h"
#include "common/NumberText.h"
#include "engine/Evaluation.h"
#include "engine/RecordScore.h"
#include "history/DrawHistory.h"
#include "reports/EvaluationPage.h"

namespace kitebar::cli {
namespace {

constexpr std::array<const char*, kHitKindCount> kKindWords{"straight", "box", "mini"};

// The lines that other tools read: numbers in the C locale's form whatever
// the user's locale.
std::string SummaryLines(const Evaluation& e) {
  std::string lines = "draws " + FormatInt(e.draws) + " type " + FormatInt(e.settingsType + 1) +
                      " from " + FormatInt(e.range.from) + " to " + FormatInt(e.range.to) +
                      " skipped " + FormatInt(e.skipped) + "\n";
  lines += KindSummaryLines(e.kinds);
  if (e.positions == PositionSource::kStoredWhereGiven) {
    lines += "stored-positions used " + FormatInt(e.storedPositions) + " decided " +
             FormatInt(e.decidedPositions) + "\n";
  }
  return lines;
}

}  // namespace

std::string KindSummaryLines(const KindSummaries& kinds) {
  std::string lines;
  for (int kind = 0; kind < kHitKindCount; ++kind) {
    const KindSummary& s = kinds[static_cast<std::size_t>(kind)];
    lines += std::string(kKindWords[static_cast<std::size_t>(kind)]) + " hits " +
             FormatInt(s.hits) + " expected " + FormatFixed(s.expected, 2) + " p " +
             FormatFixed(s.pValue, 4) + "\n";
  }
  return lines;
}

CLI::App* EvaluateCommand::Register(CLI::App& app) {
  CLI::App* command = app.add_subcommand(
      "evaluate", "Check the predictions against chance, draw by draw (成績の検証)");
  CLI::Option* from = command->add_option("--from", from_, "First draw to test (default 2)");
  CLI::Option* to = command->add_option("--to", to_, "Last draw to test (default: the last draw)");
  command->add_option("--type", type_, "Setting set 1 to 5 (default: the prediction's set)")
      ->check(CLI::Range(1, 5));
  command->add_flag("--stored-positions", storedPositions_,
                    "Predict from stored windmill positions where there are any");
  command->add_flag("--open", open_, "Open Kitebar_kensho.html in the browser");
  command->callback([this, from, to] {
    fromGiven_ = from->count() > 0;
    toGiven_ = to->count() > 0;
  });
  return command;
}

int EvaluateCommand::Run() {
  DrawHistory history;
  if (!LoadHistoryOrReport(history))
    return kExitFailure;
  const int from = fromGiven_ ? from_ : 2;
  const int to = toGiven_ ? to_ : history.count;
  if (const Status checked = CheckEvaluationRange(history.count, from, to); !checked.ok()) {
    PrintError(checked.message() + "--from と --to で範囲を指定してください。");
    return kExitUsage;
  }
  EvaluationRequest request;
  request.from = from;
  request.to = to;
  request.settingsType = type_ - 1;
  request.positions =
      storedPositions_ ? PositionSource::kStoredWhereGiven : PositionSource::kEstimated;
  const Result<Evaluation> evaluation = EvaluateHistory(history, request);
  if (!evaluation.ok()) {
    PrintError(evaluation.message());
    return kExitFailure;
  }
  const LiveScore live = ScoreLiveRecord(history, LiveCourses::kWith);
  // The lines go out only once their page is there to read.
  if (const Status written = WriteEvaluationPage(kEvaluationPage, *evaluation, &live);
      !written.ok()) {
    PrintError(written.message());
    return kExitFailure;
  }
  const std::string lines = SummaryLines(*evaluation);
  WriteText(stdout, lines);
  return open_ ? OpenPageOrReport(kEvaluationPage) : kExitOk;
}

}  // namespace kitebar::cli
