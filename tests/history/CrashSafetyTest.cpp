// Kills a process that saves, registers, analyses, back-tests and imports, at
// random moments, and checks after every kill that each file holds what it
// held before the interrupted step or what the step writes, never a mix, and
// that the back-test files and the prediction record hold whole entries only.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "HttpTestServer.h"
#include "WebImportTestSite.h"
#include "common/Feedback.h"
#include "engine/BackTest.h"
#include "engine/PositionAnalysis.h"
#include "engine/PredictionRecord.h"
#include "engine/Registration.h"
#include "history/DrawHistory.h"
#include "history/HttpFetcher.h"
#include "history/WebImport.h"
#include "reports/HitReport.h"
#include "settings/SettingsFiles.h"
#include "settings/SettingsUpdates.h"
#include "support/ScopedEnvironment.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using Clock = std::chrono::steady_clock;
using test::ReadFileBytes;
using test::WriteFileBytes;

// Enough kills to reach every step kind many times, within a bounded time.
constexpr int kWantedKills = 600;
constexpr int kMinimumKills = 300;
constexpr auto kTimeBudget = std::chrono::seconds(40);

constexpr int kInitialDraws = 20;
constexpr int kSiteDraws = 35;
constexpr int kCycles = 4;

const std::array<std::string, 10> kFiles{
    kHistoryFileName,    kBaseIniFile,         SettingsTypeFile(0), SettingsTypeFile(1),
    SettingsTypeFile(2), SettingsTypeFile(3),  SettingsTypeFile(4), kBackTestFile,
    kRecentBackTestFile, kPredictionRecordFile};
constexpr std::size_t kRecentFileIndex = 8;
constexpr std::size_t kRecordFileIndex = 9;

// Every file of the working folder that a step can change (nothing for a
// missing file), and every settings value as the program reads it.
struct Snapshot {
  std::array<std::optional<std::string>, kFiles.size()> files;
  std::vector<std::string> settings;
};

Snapshot TakeSnapshot() {
  Snapshot snapshot;
  for (std::size_t i = 0; i < kFiles.size(); ++i) {
    if (std::filesystem::exists(kFiles[i]))
      snapshot.files[i] = ReadFileBytes(kFiles[i]);
  }
  for (const SettingsEntry& entry : ReadAllSettings())
    snapshot.settings.push_back(entry.file + " [" + entry.section + "] " + entry.text);
  return snapshot;
}

void Restore(const Snapshot& snapshot) {
  for (std::size_t i = 0; i < kFiles.size(); ++i) {
    if (snapshot.files[i]) {
      WriteFileBytes(kFiles[i], *snapshot.files[i]);
    } else {
      std::filesystem::remove(kFiles[i]);
    }
  }
}

// The steps of the working process. Each one reads the history afresh, as a
// command of the program does, and changes each file at most once, so that
// its old and new contents are the only states a kill may leave. (An analysis
// first gives every draw a position, so that the registrations and the
// back-test that follow have none to estimate and save on the way.)
enum class Step {
  kImport,
  kAnalyse,
  kRegister,
  kSetType,
  kPosition,
  kSetCore,
  kSelector,
  kCorrect,
  kRecentBackTest
};
constexpr std::array<Step, 12> kCycle{Step::kImport,  Step::kAnalyse,        Step::kRegister,
                                      Step::kSetType, Step::kPosition,       Step::kRegister,
                                      Step::kSetCore, Step::kSelector,       Step::kCorrect,
                                      Step::kAnalyse, Step::kRecentBackTest, Step::kRegister};

std::string ThreeDigits(int value) {
  return FormatZeroPadded(value % 1000, 3);
}

// A set of windmill settings that differs from step to step.
WindmillSettings SettingsOfStep(int k) {
  WindmillSettings settings;
  settings.stopConstant = "2" + FormatZeroPadded(k % 100, 2);
  for (std::size_t place = 0; place < kPlaceCount; ++place) {
    const int shift = k + static_cast<int>(place);
    settings.startToReach[place] = 1.0f + 0.1f * static_cast<float>(shift % 9);
    settings.startToHit[place] = 11.0f + 0.5f * static_cast<float>(shift % 6);
    settings.speedIndex[place] = shift % 5;
  }
  return settings;
}

class NoImportView final : public ImportView {
 public:
  void SetBusy(bool) override {}
  void ShowTargetDraw(int) override {}
  void RefreshControls() override {}
  void RefillDrawList() override {}
};

Status RegistrationStatus(const Result<Registration>& registered) {
  if (!registered.ok())
    return registered.status();
  return registered->stored ? Status::Ok() : Status::Failure("entry refused");
}

Status RunStep(int k) {
  DrawHistory history;
  if (Status loaded = history.Load(); !loaded)
    return loaded;
  SilentFeedback feedback;
  switch (kCycle[static_cast<std::size_t>(k) % kCycle.size()]) {
    case Step::kImport: {
      HttpFetcher fetcher(feedback);
      NoImportView view;
      return RunWebImport(history, fetcher, view, feedback, [] {});
    }
    case Step::kAnalyse:
      return AnalysePositions(history, history.count + 1, AnalysisMode::kAutomatic, 0, feedback)
          .status();
    case Step::kRegister:
      return RegistrationStatus(
          RegisterWinningNumber(history, history.count + 1, ThreeDigits(k * 271 + 13)));
    case Step::kPosition:
      return RegistrationStatus(
          RegisterPosition(history, history.count + 1, ThreeDigits(k * 113 + 7)));
    case Step::kCorrect:
      return RegistrationStatus(
          RegisterWinningNumber(history, history.count - 1 - k % 5, ThreeDigits(k * 59 + 1)));
    case Step::kSetType: {
      WindmillSettings settings = SettingsOfStep(k);
      return UpdateWindmillSettings(k % kSettingsTypeCount, settings);
    }
    case Step::kSetCore: {
      CoreSettings core{k % 5, 30 + k % 20, 20.0f + static_cast<float>(k % 30)};
      return UpdateCoreSettings(core);
    }
    case Step::kSelector:
      return WriteSetSelector(1 + k % kSettingsTypeCount, (k / 5) % kSettingsTypeCount);
    case Step::kRecentBackTest:
      return RunRecentBackTest(history);
  }
  return Status::Failure("unknown step");
}

// The working process: steps `from` to `to` - 1, each announced on `report`
// before it begins. Never returns.
[[noreturn]] void RunStepsAndExit(int from, int to, int report) {
  for (int k = from; k < to; ++k) {
    const std::int32_t started = k;
    if (::write(report, &started, sizeof started) != sizeof started)
      ::_exit(4);
    if (!RunStep(k).ok())
      ::_exit(3);
  }
  ::_exit(0);
}

// Whether `text` is a sequence of whole back-test entries: a number line and
// a two-character result line, each ending in CR LF.
bool HoldsWholeEntries(std::string_view text) {
  while (!text.empty()) {
    const std::size_t numberEnd = text.find("\r\n");
    if (numberEnd == std::string_view::npos || numberEnd == 0)
      return false;
    text.remove_prefix(numberEnd + 2);
    if (text.size() < 4 || text.substr(2, 2) != "\r\n")
      return false;
    text.remove_prefix(4);
  }
  return true;
}

struct KillOutcome {
  bool killed = false;   // the process was still running
  int exitStatus = 0;    // its exit status otherwise
  int lastStarted = -1;  // the last step announced, -1 for none
};

// Nothing when the process cannot be started.
std::optional<KillOutcome> StartAndKill(int from, int to, Clock::duration delay) {
  int ends[2];
  if (::pipe(ends) != 0)
    return std::nullopt;
  const pid_t child = ::fork();
  if (child < 0) {
    ::close(ends[0]);
    ::close(ends[1]);
    return std::nullopt;
  }
  if (child == 0) {
    ::close(ends[0]);
    RunStepsAndExit(from, to, ends[1]);
  }
  ::close(ends[1]);
  KillOutcome outcome;
  // The moment is counted from the start of the first step, not from the
  // fork: the time a new process needs to get going would otherwise use up
  // most of it.
  std::int32_t started = 0;
  if (::read(ends[0], &started, sizeof started) == sizeof started)
    outcome.lastStarted = started;
  std::this_thread::sleep_for(delay);
  ::kill(child, SIGKILL);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  outcome.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
  outcome.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 0;
  while (::read(ends[0], &started, sizeof started) == sizeof started)
    outcome.lastStarted = started;
  ::close(ends[0]);
  return outcome;
}

class CrashSafetyTest : public testing::Test {
 protected:
  CrashSafetyTest()
      : site_({{"/numbers/numtop01.html", test::IndexPage({"0035"}, {})},
               {"/numbers/num3-h0035.html",
                test::HeadingLayoutPage(test::ConsecutiveHeadings(1, kSiteDraws))}}) {}

  // Runs every step once without a kill: the contents before and after each
  // step, and how long each took.
  void RecordSteps(int stepCount) {
    WriteFileBytes(kHistoryFileName, test::HistoryFileUpTo(kInitialDraws));
    WriteFileBytes(kBaseIniFile, test::BaseIni(site_.BaseUrl()));
    states_.push_back(TakeSnapshot());
    for (int k = 0; k < stepCount; ++k) {
      const Clock::time_point start = Clock::now();
      const Status ran = RunStep(k);
      ASSERT_TRUE(ran.ok()) << "step " << k << ": " << ran.message();
      durations_.push_back(Clock::now() - start);
      states_.push_back(TakeSnapshot());
    }
  }

  // After a kill during step k: every file as before k or as after it (the
  // recent-draws file also any whole-entry beginning of its new contents),
  // the history loadable and the settings reading as before or as written.
  void CheckFilesAfterKillIn(int k) {
    const Snapshot now = TakeSnapshot();
    const Snapshot& before = states_[static_cast<std::size_t>(k)];
    const Snapshot& after = states_[static_cast<std::size_t>(k) + 1];
    if (now.files != before.files)
      ++killsAfterAChange_;
    for (std::size_t i = 0; i < kFiles.size(); ++i) {
      const bool oldOrNew = now.files[i] == before.files[i] || now.files[i] == after.files[i];
      // The record grows by whole entries: a step that adds two may be cut
      // between them, never inside one.
      if (i == kRecordFileIndex && !oldOrNew && now.files[i] && after.files[i]) {
        const std::string old = before.files[i].value_or("");
        EXPECT_TRUE(now.files[i]->starts_with(old) && after.files[i]->starts_with(*now.files[i]) &&
                    !ParseRecord(*now.files[i]).broken)
            << "step " << k << ": the record holds a part of an entry";
        continue;
      }
      if (i == kRecentFileIndex && !oldOrNew && now.files[i] && after.files[i]) {
        EXPECT_TRUE(after.files[i]->starts_with(*now.files[i]) && HoldsWholeEntries(*now.files[i]))
            << "step " << k << ": " << kFiles[i] << " is not a beginning of its new contents";
        continue;
      }
      EXPECT_TRUE(oldOrNew) << "step " << k << ": " << kFiles[i]
                            << " holds neither its old nor its new contents";
      if (now.files[i] && (i == kRecentFileIndex || kFiles[i] == kBackTestFile)) {
        EXPECT_TRUE(HoldsWholeEntries(*now.files[i])) << kFiles[i];
      }
    }
    DrawHistory history;
    EXPECT_TRUE(history.Load().ok()) << "step " << k;
    EXPECT_GE(history.count, kInitialDraws) << "step " << k;
    EXPECT_TRUE(now.settings == before.settings || now.settings == after.settings)
        << "step " << k << ": the settings read neither as before nor as written";
  }

  test::TempWorkingDirectory folder_;
  // The record's entries carry their time: fixed, so that a step run again
  // writes the bytes it wrote before.
  test::ScopedEnvironment recordTime_{"KITEBAR_RECORD_TIME", "2025-01-06T09:30:00Z"};
  test::PageServer site_;
  std::vector<Snapshot> states_;
  std::vector<Clock::duration> durations_;
  // Kills after which some file already held new contents: without them
  // the check would only ever see untouched files.
  int killsAfterAChange_ = 0;
};

TEST_F(CrashSafetyTest, EveryKillLeavesTheOldOrTheNewContents) {
  const int stepCount = kCycles * static_cast<int>(kCycle.size());
  ASSERT_NO_FATAL_FAILURE(RecordSteps(stepCount));
  // The steps really change what they should, or the check proves nothing.
  ASSERT_NE(states_.front().files[0], states_.back().files[0]);
  ASSERT_TRUE(states_.back().files[kRecentFileIndex].has_value());
  ASSERT_TRUE(states_.back().files[kRecordFileIndex].has_value());

  std::mt19937 random(20240607);
  const Clock::time_point deadline = Clock::now() + kTimeBudget;
  int kills = 0;
  std::map<int, int> killsPerStep;
  for (int round = 0; kills < kWantedKills && Clock::now() < deadline; ++round) {
    const int from = round % stepCount;
    Restore(states_[static_cast<std::size_t>(from)]);
    // A moment within the first step or the next: a loaded machine slows the
    // working process down against the durations recorded here.
    const auto span = std::chrono::duration_cast<std::chrono::microseconds>(
        durations_[static_cast<std::size_t>(from)] * 2);
    std::uniform_int_distribution<long long> moment(0, std::max<long long>(span.count(), 1));
    const std::optional<KillOutcome> started =
        StartAndKill(from, stepCount, std::chrono::microseconds(moment(random)));
    ASSERT_TRUE(started.has_value()) << "cannot start the working process";
    const KillOutcome& outcome = *started;
    ASSERT_TRUE(outcome.killed || outcome.exitStatus == 0)
        << "the working process failed at step " << outcome.lastStarted << " with status "
        << outcome.exitStatus;
    const int interrupted = std::max(outcome.lastStarted, from);
    if (!outcome.killed) {
      CheckFilesAfterKillIn(stepCount - 1);
      continue;
    }
    ++kills;
    ++killsPerStep[static_cast<int>(kCycle[static_cast<std::size_t>(interrupted) % kCycle.size()])];
    CheckFilesAfterKillIn(interrupted);
    if (HasFailure())
      return;
  }
  EXPECT_GE(kills, kMinimumKills);
  EXPECT_GE(killsAfterAChange_, kills / 20);
  for (const auto& [step, count] : killsPerStep)
    EXPECT_GT(count, 0) << "no kill in step kind " << step;
  EXPECT_EQ(killsPerStep.size(), 9u) << "some step kinds were never interrupted";
}

}  // namespace
}  // namespace kitebar
