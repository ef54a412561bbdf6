#include "cli/RegisterCommands.h"

#include <algorithm>

#include "cli/CommandSupport.h"
#include "cli/Output.h"
#include "common/NumberText.h"
#include "engine/Registration.h"

namespace kitebar::cli {
namespace {

int ReportRegistration(const Result<Registration>& registration, std::string_view what) {
  if (!registration.ok()) {
    PrintError(registration.message());
    return kExitFailure;
  }
  if (!registration->stored) {
    PrintError("「" + registration->padded +
               "」は 3 桁の数字ではありません。登録しませんでした。0 から 9 の数字 1〜3 桁で"
               "指定してください（足りない桁は前に 0 を補います）。");
    return kExitUsage;
  }
  PrintLine(std::string(what) + " " + FormatInt(registration->draw) + " " + registration->padded);
  if (!registration->recordProblem.empty())
    PrintError("当選番号は登録しました。" + registration->recordProblem);
  return kExitOk;
}

// Prints the refusal of a draw outside first to last, with `advice`.
bool IsDrawInRange(int draw, int first, int last, std::string_view what, std::string_view advice) {
  if (draw >= first && draw <= last)
    return true;
  PrintError("第 " + FormatInt(draw) + " 回は" + std::string(what) + "できません。" +
             std::string(what) + "できるのは第 " + FormatInt(first) + " 回から第 " +
             FormatInt(last) + " 回までです。" + std::string(advice));
  return false;
}

constexpr char kFileLimitAdvice[] = "当選番号ファイルに記録できるのは第 9999 回までです。";

}  // namespace

CLI::App* RegisterCommand::Register(CLI::App& app) {
  CLI::App* command = app.add_subcommand(
      "register", "Register the winning number of the next draw, or correct draw N (登録>>)");
  CLI::Option* draw =
      command->add_option("--draw", drawNumber_, "Correct the winning number of draw N");
  command
      ->add_option(
          "NNN", entry_,
          "The winning number, one to three digits, filled with zeros in front (12 is 012)")
      ->required();
  command->callback([this, draw] { drawGiven_ = draw->count() > 0; });
  return command;
}

int RegisterCommand::Run() {
  DrawHistory history;
  if (!LoadHistoryOrReport(history, DamageNotice::kLeaveToWriter))
    return kExitFailure;
  const bool correction = drawGiven_;
  const int draw = correction ? drawNumber_ : history.count + 1;
  if (correction && !IsDrawInRange(draw, 1, history.count, "修正",
                                   "次の回の当選番号は --draw を付けずに登録してください。")) {
    return kExitUsage;
  }
  if (!correction &&
      !IsDrawInRange(draw, 1, DrawHistory::kMaxDrawNumber, "登録", kHistoryFullAdvice)) {
    return kExitUsage;
  }
  // The next draw is decided once the history is locked: a draw another writer
  // registers meanwhile is not written over, this one follows it.
  const RegistrationTarget target =
      correction ? RegistrationTarget::Correction(draw) : RegistrationTarget::NextDraw();
  return ReportRegistration(RegisterWinningNumber(history, target, entry_), "registered");
}

CLI::App* PositionCommand::Register(CLI::App& app) {
  CLI::App* command =
      app.add_subcommand("position", "Register a decided windmill position for draw N (登録>>)");
  command->add_option("N", drawNumber_, "The draw, 1 to the next draw")->required();
  command
      ->add_option("PPP", entry_,
                   "The position, one to three digits, filled with zeros in front (12 is 012)")
      ->required();
  return command;
}

int PositionCommand::Run() {
  DrawHistory history;
  if (!LoadHistoryOrReport(history, DamageNotice::kLeaveToWriter))
    return kExitFailure;
  const int last = std::min(history.count + 1, DrawHistory::kMaxDrawNumber);
  if (!IsDrawInRange(drawNumber_, 1, last, "風車位置を登録",
                     drawNumber_ > DrawHistory::kMaxDrawNumber
                         ? kFileLimitAdvice
                         : "記録済みの回か、その次の回を指定してください。")) {
    return kExitUsage;
  }
  return ReportRegistration(RegisterPosition(history, drawNumber_, entry_), "position");
}

}  // namespace kitebar::cli
