#include "cli/AnalyseCommand.h"

#include <algorithm>
#include <cstdio>

#include "cli/CommandSupport.h"
#include "cli/Output.h"
#include "common/NumberText.h"
#include "engine/PositionAnalysis.h"

namespace kitebar::cli {

CLI::App* AnalyseCommand::Register(CLI::App& app) {
  CLI::App* command = app.add_subcommand("analyse", "Estimate windmill positions (解析)");
  command->add_flag("--auto", automatic_,
                    "Every draw, storing estimates where a draw has no position "
                    "(未設定を再解析(自動))");
  CLI::Option* draw =
      command->add_option("--draw", drawNumber_, "The draw to work up to (default: the next draw)");
  command->add_option("--type", type_, "Setting set 1 to 5 for a single estimate (タイプ１..５)")
      ->check(CLI::Range(1, 5));
  command->callback([this, draw] { drawGiven_ = draw->count() > 0; });
  return command;
}

int AnalyseCommand::Run() {
  DrawHistory history;
  if (!LoadHistoryOrReport(history,
                           automatic_ ? DamageNotice::kLeaveToWriter : DamageNotice::kWarn))
    return kExitFailure;
  const int last = std::min(history.count + 1, DrawHistory::kMaxDrawNumber);
  const int draw = drawGiven_ ? drawNumber_ : history.count + 1;
  if (last < 2) {
    PrintError(
        "解析するには当選番号が 1 回分以上必要です。register か load-csv で登録してから、"
        "もう一度実行してください。");
    return kExitUsage;
  }
  if (draw < 2 || draw > last) {
    PrintError("第 " + FormatInt(draw) + " 回は解析できません。解析できるのは第 2 回から第 " +
               FormatInt(last) + " 回までです。" +
               (draw > DrawHistory::kMaxDrawNumber
                    ? "当選番号ファイルに記録できるのは第 9999 回までです。"
                    : "--draw で範囲内の回を指定してください。"));
    return kExitUsage;
  }
  SilentFeedback feedback;
  const Result<PositionAnalysis> analysis =
      AnalysePositions(history, draw, automatic_ ? AnalysisMode::kAutomatic : AnalysisMode::kSingle,
                       type_ - 1, feedback);
  if (!analysis.ok()) {
    PrintError(analysis.message());
    return kExitFailure;
  }
  const std::string out = ListingForTerminal(analysis->listing);
  std::fwrite(out.data(), 1, out.size(), stdout);
  return kExitOk;
}

}  // namespace kitebar::cli
