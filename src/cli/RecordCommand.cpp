#include "cli/RecordCommand.h"

#include <string>

#include "cli/CommandSupport.h"
#include "cli/EvaluateCommand.h"
#include "cli/Output.h"
#include "common/NumberText.h"
#include "engine/RecordScore.h"
#include "history/DrawHistory.h"

namespace kitebar::cli {
namespace {

std::string CountsLine(const LiveScore& score) {
  return "entries " + FormatInt(static_cast<long long>(score.entries.size())) + " draws " +
         FormatInt(score.draws) + " from " + FormatInt(score.firstDraw) + " to " +
         FormatInt(score.lastDraw) + " scored " + FormatInt(score.scoredDraws) + " waiting " +
         FormatInt(score.waitingDraws) + " settings " + FormatInt(score.settingsUsed) +
         " corrections " + FormatInt(score.corrections) + "\n";
}

std::string ChainLine(const LiveScore& score) {
  if (score.record.broken)
    return "chain broken line " + FormatInt(score.record.broken->line) + "\n";
  return "chain whole lines " + FormatInt(score.record.lines) + " head " + score.record.head + "\n";
}

}  // namespace

CLI::App* RecordCommand::Register(CLI::App& app) {
  return app.add_subcommand(
      "record", "Score the predictions recorded before their draws (記録された予想の成績)");
}

int RecordCommand::Run() {
  DrawHistory history;
  if (!LoadHistoryIfPresentOrReport(history))
    return kExitFailure;
  const LiveScore score = ScoreLiveRecord(history);
  if (!score.problem.empty()) {
    PrintError(score.problem);
    return kExitFailure;
  }
  WriteText(stdout, CountsLine(score) + KindSummaryLines(score.kinds) + ChainLine(score));
  if (!score.sealProblem.empty())
    PrintError("当選番号を予想の記録に書き加えられませんでした。" + score.sealProblem);
  if (score.record.broken) {
    PrintError(RecordBreakMessage(score.file, *score.record.broken));
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace kitebar::cli
