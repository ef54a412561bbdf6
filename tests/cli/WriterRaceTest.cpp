// Two kitebar-cli writers started together, a thousand times, now and then
// with a third one: every registration reported as done is in the history,
// each once, with its back-test entry, and no line is damaged.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "common/FolderLock.h"
#include "common/NumberText.h"
#include "history/DrawHistory.h"
#include "reports/HitReport.h"
#include "support/CliRunner.h"
#include "support/FolderFixtures.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::CliResult;
using test::ReadFileBytes;
using test::RunCli;
using test::TempWorkingDirectory;

// Each registration is a process that also records its prediction, which
// the sanitizers slow several times over; a quarter of the trials there still
// gives the races hundreds of chances.
#ifdef __SANITIZE_ADDRESS__
constexpr int kTrials = 250;
#else
constexpr int kTrials = 1000;
#endif
constexpr int kInitialDraws = 100;

// Writers that change other files or other fields while the two register.
const std::vector<std::vector<std::string>> kThirdWriters{{"analyse", "--auto"},
                                                          {"predict"},
                                                          {"hits", "--recent"},
                                                          {"settings", "set-core", "StepNum=40"}};

TEST(WriterRace, EveryReportedRegistrationIsKeptAndNoLineIsDamaged) {
  TempWorkingDirectory folder;
  test::WriteFileBytes(kHistoryFileName, test::HistoryUpTo(kInitialDraws));
  std::map<int, std::string> reported;
  for (int trial = 0; trial < kTrials; ++trial) {
    std::vector<CliResult> results(3);
    std::vector<std::thread> writers;
    const std::string first = FormatZeroPadded(trial % 1000, 3);
    const std::string second = FormatZeroPadded((trial * 7 + 3) % 1000, 3);
    writers.emplace_back([&] { results[0] = RunCli({"register", first}); });
    writers.emplace_back([&] { results[1] = RunCli({"register", second}); });
    if (trial % 10 == 0) {
      const auto& third =
          kThirdWriters[static_cast<std::size_t>(trial / 10) % kThirdWriters.size()];
      writers.emplace_back([&] { results[2] = RunCli(third); });
    }
    for (std::thread& writer : writers)
      writer.join();
    for (std::size_t i = 0; i < writers.size(); ++i)
      ASSERT_EQ(results[i].exitCode, 0) << "trial " << trial << ": " << results[i].err;
    for (std::size_t i = 0; i < 2; ++i) {
      int draw = 0;
      char digits[4] = {};
      ASSERT_EQ(std::sscanf(results[i].out.c_str(), "registered %d %3s", &draw, digits), 2);
      ASSERT_TRUE(reported.emplace(draw, digits).second) << "draw " << draw << " reported twice";
    }
  }
  DrawHistory history;
  ASSERT_TRUE(history.Load());
  EXPECT_FALSE(history.damage());
  EXPECT_EQ(history.count, kInitialDraws + 2 * kTrials);
  for (const auto& [draw, digits] : reported)
    EXPECT_EQ(history.record(draw).digitsText(), digits) << "draw " << draw;
  // One back-test entry per registration, in the order of the draws.
  std::string expectedDraws;
  for (const auto& entry : reported)
    expectedDraws += FormatInt(entry.first) + "\r\n";
  std::string entryDraws;
  const std::string entries = ReadFileBytes(kBackTestFile);
  for (std::size_t line = 0, at = 0; at < entries.size(); ++line) {
    const std::size_t end = entries.find('\n', at) + 1;
    if (line % 2 == 0)
      entryDraws += entries.substr(at, end - at);
    at = end;
  }
  EXPECT_EQ(entryDraws, expectedDraws);
}

// A clean-up script that deletes the "stale" lock file over and over while
// two writers race: the lock must still let one writer in at a time.
TEST(WriterRace, DeletingTheLockFileLetsNoSecondWriterIn) {
  constexpr int kDeletedLockTrials = 200;
  TempWorkingDirectory folder;
  test::WriteFileBytes(kHistoryFileName, test::HistoryUpTo(kInitialDraws));
  std::jthread deleter([](const std::stop_token& stop) {
    while (!stop.stop_requested()) {
      std::error_code ignored;
      std::filesystem::remove(FolderLock::kLockFileName, ignored);
    }
  });
  std::map<int, std::string> reported;
  for (int trial = 0; trial < kDeletedLockTrials; ++trial) {
    std::vector<CliResult> results(2);
    std::thread first([&] { results[0] = RunCli({"register", FormatZeroPadded(trial, 3)}); });
    results[1] = RunCli({"register", FormatZeroPadded(999 - trial, 3)});
    first.join();
    for (const CliResult& result : results) {
      int draw = 0;
      char digits[4] = {};
      ASSERT_EQ(result.exitCode, 0) << "trial " << trial << ": " << result.err;
      ASSERT_EQ(std::sscanf(result.out.c_str(), "registered %d %3s", &draw, digits), 2);
      EXPECT_TRUE(reported.emplace(draw, digits).second) << "draw " << draw << " reported twice";
    }
  }
  deleter.request_stop();
  deleter.join();
  DrawHistory history;
  ASSERT_TRUE(history.Load());
  EXPECT_FALSE(history.damage());
  EXPECT_EQ(history.count, kInitialDraws + static_cast<int>(reported.size()));
  for (const auto& [draw, digits] : reported)
    EXPECT_EQ(history.record(draw).digitsText(), digits) << "draw " << draw;
}

// Two working folders whose histories are links to one file: each writer
// locks the folder that is really written, so that no registration of one
// folder is lost to the other's.
TEST(WriterRace, TwoFoldersLinkedToOneHistoryLoseNothing) {
  constexpr int kLinkedTrials = 60;
  TempWorkingDirectory folder;
  for (const char* name : {"A", "B", "C"})
    std::filesystem::create_directories(name);
  test::WriteFileBytes("C/kitebarnum.dat", test::HistoryUpTo(kInitialDraws));
  for (const char* name : {"A", "B"})
    std::filesystem::create_symlink("../C/kitebarnum.dat",
                                    std::filesystem::path(name) / "kitebarnum.dat");
  int reported = 0;
  for (int trial = 0; trial < kLinkedTrials; ++trial) {
    std::vector<CliResult> results(2);
    std::thread first([&] { results[0] = test::RunCliIn("A", {"register", "123"}); });
    results[1] = test::RunCliIn("B", {"register", "456"});
    first.join();
    for (const CliResult& result : results) {
      ASSERT_EQ(result.exitCode, 0) << "trial " << trial << ": " << result.err;
      ++reported;
    }
  }
  DrawHistory history("C/kitebarnum.dat");
  ASSERT_TRUE(history.Load());
  EXPECT_FALSE(history.damage());
  EXPECT_EQ(history.count, kInitialDraws + reported);
  EXPECT_TRUE(std::filesystem::is_symlink("A/kitebarnum.dat"));
}

// Two settings commands at once, each saving its own key of one file: both
// values are there afterwards.
TEST(WriterRace, TwoSettingsWritersOfDifferentKeysLoseNothing) {
  constexpr int kSettingsTrials = 60;
  TempWorkingDirectory folder;
  for (int trial = 0; trial < kSettingsTrials; ++trial) {
    const std::string steps = FormatInt(10 + trial % 50);
    const std::string diameter = FormatInt(20 + trial % 31) + ".0";
    CliResult first;
    std::thread writer([&] { first = RunCli({"settings", "set-core", "StepNum=" + steps}); });
    const CliResult second = RunCli({"settings", "set-core", "Diameter=" + diameter});
    writer.join();
    ASSERT_EQ(first.exitCode, 0) << first.err;
    ASSERT_EQ(second.exitCode, 0) << second.err;
    const std::string saved = ReadFileBytes("base.ini");
    ASSERT_NE(saved.find("num=" + steps + "\r\n"), std::string::npos) << "trial " << trial;
    ASSERT_NE(saved.find("f=" + diameter + "\r\n"), std::string::npos) << "trial " << trial;
  }
}

}  // namespace
}  // namespace kitebar
