#include "cli/TuneCommand.h"

#include <array>
#include <cstdio>
#include <thread>

#include "cli/CommandSupport.h"
#include "cli/Output.h"
#include "cli/StopOnInterrupt.h"
#include "common/AtomicFile.h"
#include "common/NumberText.h"
#include "engine/Tuning.h"
#include "history/DrawHistory.h"
#include "reports/TuningPage.h"

namespace kitebar::cli {
namespace {

constexpr std::array<const char*, kHitKindCount> kKindWords{"straight", "box", "mini"};

HitKind KindOfWord(const std::string& word) {
  for (int kind = 0; kind < kHitKindCount; ++kind) {
    if (word == kKindWords[static_cast<std::size_t>(kind)])
      return static_cast<HitKind>(kind);
  }
  return HitKind::kBox;
}

std::string ResultLine(std::string_view name, const RangeResult& result) {
  const KindSummary& s = result.summary;
  return std::string(name) + " hits " + FormatInt(s.hits) + " expected " +
         FormatFixed(s.expected, 2) + " p " + FormatFixed(s.pValue, 4) + "\n";
}

// The lines that other tools read: numbers in the C locale's form whatever
// the user's locale.
std::string SummaryLines(const Tuning& t) {
  const std::string rules = FormatInt(static_cast<long long>(t.rules.size()));
  return "searched " + rules + " rules on draws 2 to " + FormatInt(t.request.trainTo) + " (kind " +
         kKindWords[static_cast<std::size_t>(t.request.kind)] + ")\n" +
         ResultLine("train best", t.trainBest) + ResultLine("holdout best", t.holdoutBest) +
         ResultLine("holdout current", t.holdoutCurrent) + "train best adjusted p " +
         FormatFixed(t.adjusted.p, 4) + " over " + rules + " rules\n";
}

int DefaultThreads() {
  return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

}  // namespace

CLI::App* TuneCommand::Register(CLI::App& app) {
  CLI::App* command = app.add_subcommand(
      "tune",
      "Search the windmill settings on draws 2 to N and test the best on the draws after N "
      "(設定の探索)");
  command->add_option("--train-to", trainTo_, "Last training draw (2 to the last draw - 100)")
      ->required();
  command->add_option("--kind", kind_, "Hits to score: straight, box or mini (default box)")
      ->check(CLI::IsMember({"straight", "box", "mini"}));
  // Every rule is scored: there is no sample to size or seed any more.
  command->add_option("--budget", retiredOption_, "No longer used: every rule is scored");
  command->add_option("--seed", retiredOption_, "No longer used: every rule is scored");
  command
      ->add_option("--threads", threads_,
                   "Threads for the simulated histories (default: one per core)")
      ->check(CLI::Range(1, kMaximumAdjustedPThreads));
  command
      ->add_option("--save-to", saveTo_,
                   "Save the best rule into set T, 1 to 5, changing as few values as can be")
      ->check(CLI::Range(1, kSettingsTypeCount));
  command->add_flag("--open", open_, "Open Kitebar_tuning.html in the browser");
  command->callback([this, command] {
    retiredGiven_ = command->count("--budget") > 0 || command->count("--seed") > 0;
  });
  return command;
}

int TuneCommand::Run() {
  if (retiredGiven_) {
    PrintError("--budget と --seed は使えなくなりました。設定の探索は、どの設定もまとまる " +
               FormatInt(kRuleCount) +
               " 通りの予想の出し方をすべて正確に調べるので、試す数も乱数の種もありません。");
    return kExitUsage;
  }
  DrawHistory history;
  if (!LoadHistoryOrReport(history))
    return kExitFailure;
  if (const Status checked = CheckTrainingEnd(history.count, trainTo_); !checked.ok()) {
    PrintError(checked.message() + "--train-to で指定してください。");
    return kExitUsage;
  }
  // A page or set file that cannot be replaced is named before the search,
  // not after it.
  const int saveSet = saveTo_ - 1;
  const Status replaceable = saveSet >= 0
                                 ? CheckAllReplaceable({kTuningPage, SettingsTypeFile(saveSet)})
                                 : CheckReplaceable(kTuningPage);
  if (!replaceable.ok()) {
    PrintError(replaceable.message());
    return kExitFailure;
  }

  TuningRequest request;
  request.trainTo = trainTo_;
  request.kind = KindOfWord(kind_);
  request.threads = threads_ > 0 ? threads_ : DefaultThreads();
  const Result<Tuning> tuning = [&] {
    const StopOnInterrupt interrupt;
    request.stop = &StopOnInterrupt::stopRequested();
    return TuneSettings(history, request);
  }();
  if (!tuning.ok()) {
    PrintError(tuning.message());
    return kExitFailure;
  }
  if (tuning->adjusted.stopped) {
    PrintError("途中で止めました。何も書き込んでいません" +
               (saveSet >= 0 ? std::string("（設定ファイルにも保存していません）") : "") + "。");
    return kExitInterrupted;
  }
  const std::string lines = SummaryLines(*tuning);
  WriteText(stdout, lines);
  std::fflush(stdout);

  TuningSave save;
  if (saveSet >= 0) {
    const Result<SettingForRule> saved = SaveTunedSetting(saveSet, *tuning);
    if (!saved.ok()) {
      PrintError(saved.message());
      return kExitFailure;
    }
    save = {saveSet, saved->changes};
  }
  if (const Status written = WriteTuningPage(kTuningPage, *tuning, save); !written.ok()) {
    // The set file was replaced before the page failed: the user must know.
    PrintError(written
                   .Wrapped("", save.set >= 0
                                    ? "なお、最良の設定はタイプ" + FormatInt(save.set + 1) + "（" +
                                          SettingsTypeFile(save.set) + "）に保存しました。"
                                    : std::string())
                   .message());
    return kExitFailure;
  }
  return open_ ? OpenPageOrReport(kTuningPage) : kExitOk;
}

}  // namespace kitebar::cli
