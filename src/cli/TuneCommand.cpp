#include "cli/TuneCommand.h"

#include <unistd.h>

#include <array>
#include <atomic>
#include <charconv>
#include <chrono>
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

// On a terminal, one line on stderr that each report redraws: settings
// tried, the best so far and the time left.
class ProgressLine {
 public:
  ProgressLine() : shown_(::isatty(STDERR_FILENO) == 1) {}
  ~ProgressLine() { Clear(); }
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  void Show(const SearchProgress& progress) {
    const Clock::time_point now = Clock::now();
    if (!shown_ || progress.tried <= 0 || now - lastDrawn_ < kInterval)
      return;
    lastDrawn_ = now;
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    const double left = elapsed * (progress.budget - progress.tried) / progress.tried;
    const std::string best =
        (progress.bestExcess >= 0 ? "+" : "") + FormatFixed(progress.bestExcess, 2);
    Write("\r\x1b[K探索中 " + FormatInt(progress.tried) + "/" + FormatInt(progress.budget) +
          " 通り  最良 " + best + " 回  残り約 " + FormatFixed(left, 0) + " 秒");
    drawn_ = true;
  }
  void Clear() {
    if (drawn_)
      Write("\r\x1b[K");
    drawn_ = false;
  }

 private:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kInterval{100};

  static void Write(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
  }

  bool shown_;
  bool drawn_ = false;
  Clock::time_point start_ = Clock::now();
  Clock::time_point lastDrawn_{};
};

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
  return "searched " + FormatInt(t.search.tried) + " settings on draws 2 to " +
         FormatInt(t.request.trainTo) + " (kind " +
         kKindWords[static_cast<std::size_t>(t.request.kind)] + ")\n" +
         ResultLine("train best", t.trainBest) + ResultLine("holdout best", t.holdoutBest) +
         ResultLine("holdout current", t.holdoutCurrent);
}

// A seed is written as digits alone: the parser would take "-1" for the
// largest seed.
CLI::Validator SeedText() {
  return CLI::Validator(
      [](const std::string& text) {
        std::uint64_t seed = 0;
        const char* end = text.data() + text.size();
        const std::from_chars_result read = std::from_chars(text.data(), end, seed);
        return read.ec == std::errc() && read.ptr == end
                   ? std::string()
                   : "a whole number from 0 to 18446744073709551615 is expected";
      },
      "UINT");
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
  command->add_option("--budget", budget_, "Settings to try (default 20000)")
      ->check(CLI::Range(1, kMaximumSearchBudget));
  command->add_option("--seed", seed_, "Seed of the random sample (default 1)")->check(SeedText());
  command->add_option("--threads", threads_, "Threads (default: one per core)")
      ->check(CLI::Range(1, kMaximumSearchThreads));
  command->add_option("--save-to", saveTo_, "Save the best setting into set T, 1 to 5")
      ->check(CLI::Range(1, kSettingsTypeCount));
  command->add_flag("--open", open_, "Open Kitebar_tuning.html in the browser");
  return command;
}

int TuneCommand::Run() {
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
  request.search = {budget_, seed_, threads_ > 0 ? threads_ : DefaultThreads()};
  const Result<Tuning> tuning = [&] {
    ProgressLine progressLine;
    const StopOnInterrupt interrupt;
    const SearchMonitor monitor{&StopOnInterrupt::stopRequested(),
                                [&](const SearchProgress& p) { progressLine.Show(p); }};
    return TuneSettings(history, request, monitor);
  }();
  if (!tuning.ok()) {
    PrintError(tuning.message());
    return kExitFailure;
  }
  const std::string lines = SummaryLines(*tuning);
  std::fwrite(lines.data(), 1, lines.size(), stdout);
  std::fflush(stdout);

  const bool stopped = tuning->search.stopped;
  TuningSave save;
  if (stopped) {
    PrintError("探索を途中で止めました。" + FormatInt(tuning->search.tried) +
               " 通りを試したところまでの結果です" +
               (saveSet >= 0 ? std::string("（設定ファイルには保存していません）") : "") + "。");
  } else if (saveSet >= 0) {
    if (const Status saved = SaveTunedSetting(saveSet, tuning->search.best); !saved.ok()) {
      PrintError(saved.message());
      return kExitFailure;
    }
    save.set = saveSet;
  }
  if (const Status written = WriteTuningPage(kTuningPage, *tuning, save); !written.ok()) {
    PrintError(written.message());
    return kExitFailure;
  }
  if (open_ && OpenPageOrReport(kTuningPage) != kExitOk)
    return kExitFailure;
  return stopped ? kExitInterrupted : kExitOk;
}

}  // namespace kitebar::cli
