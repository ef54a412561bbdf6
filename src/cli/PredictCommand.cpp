#include "cli/PredictCommand.h"

#include <string>

#include "cli/CommandSupport.h"
#include "cli/Output.h"
#include "common/NumberText.h"
#include "engine/PredictionRecord.h"
#include "engine/PredictionRun.h"
#include "engine/WindmillSimulator.h"
#include "history/DrawHistory.h"
#include "reports/PredictionReport.h"

namespace kitebar::cli {
namespace {

// A prediction shown for a draw still to come goes into the record; when the
// record cannot take it, the prediction stands and stderr says why.
void RecordShown(DrawHistory& history, const Prediction& prediction) {
  const Result<RecordOutcome> recorded = RecordShownPrediction(history, prediction);
  if (!recorded.ok())
    PrintError(recorded.message());
}

}  // namespace

CLI::App* PredictCommand::Register(CLI::App& app) {
  CLI::App* command =
      app.add_subcommand("predict", "Predict the ten candidates of the next draw (予想開始)");
  CLI::Option* draw = command->add_option(
      "--draw", drawNumber_, "List the candidates of draw N instead (予想); writes no page");
  CLI::Option* open = command->add_flag("--open", open_, "Open showyosou.html in the browser");
  draw->excludes(open);
  command->callback([this, draw] { drawGiven_ = draw->count() > 0; });
  return command;
}

int PredictCommand::Run() {
  return drawGiven_ ? RunListing() : RunNextDraw();
}

int PredictCommand::RunNextDraw() {
  DrawHistory history;
  if (!LoadHistoryOrReport(history, DamageNotice::kLeaveToWriter))
    return kExitFailure;
  const Result<Prediction> prediction = StartPrediction(history, nullptr);
  if (!prediction.ok()) {
    PrintError(prediction.message());
    return kExitFailure;
  }
  std::string out = "第 " + FormatInt(prediction->drawNumber) + " 回\n";
  for (int k = 1; k <= kCandidateCount; ++k) {
    out += FormatInt(k) + ": " + CandidateText(prediction->candidates, k) + "\n";
  }
  WriteText(stdout, out);
  RecordShown(history, *prediction);
  return open_ ? OpenPageOrReport(kPredictionPage) : kExitOk;
}

int PredictCommand::RunListing() {
  // A draw no history could make runnable is a wrong entry, as with position.
  if (drawNumber_ < WindmillSimulator::kFirstRunnableDraw ||
      drawNumber_ > WindmillSimulator::kLastRunnableDraw) {
    PrintError("第 " + FormatInt(drawNumber_) +
               " 回は予想できません。予想は前の回の当選番号から作るので、--draw には第 2 回から"
               "第 9999 回までを指定してください。");
    return kExitUsage;
  }
  DrawHistory history;
  if (!LoadHistoryOrReport(history))
    return kExitFailure;
  const Result<Prediction> prediction = PredictionRun(history, drawNumber_, true);
  if (!prediction.ok()) {
    PrintError(prediction.message());
    return kExitFailure;
  }
  const std::string out = ListingForTerminal(prediction->listing);
  WriteText(stdout, out);
  RecordShown(history, *prediction);
  return kExitOk;
}

}  // namespace kitebar::cli
