#include <gtest/gtest.h>

#include <string>

#include "support/CliRunner.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::ReadFileBytes;
using test::RunCli;
using test::RunCliWithInput;
using test::TempWorkingDirectory;
using test::WriteFileBytes;

constexpr char kHeld[] = "0001,191\r\n0002,988\r\n";
// Newest first, as a results page lists them, with a header and a lost zero.
constexpr char kPasted[] =
    "回\t抽せん日\t当せん番号\n第4回\t1994年10月28日(金)\t19\n"
    "第3回\t1994年10月21日(金)\t194\n第2回\t1994年10月14日(金)\t988\n";
constexpr char kSummary[] = "read 3 draws 2-4\nheld 1 all agree\nnew 2 draws 3-4\npadded 1\n";

TEST(LoadCsvCommand, DryRunPrintsTheSummaryAndStoresNothing) {
  TempWorkingDirectory folder;
  WriteFileBytes("kitebarnum.dat", kHeld);
  WriteFileBytes("results.txt", kPasted);
  const test::CliResult dry = RunCli({"load-csv", "--dry-run", "results.txt"});
  EXPECT_EQ(dry.exitCode, 0) << dry.err;
  EXPECT_EQ(dry.out, std::string(kSummary) + "dry run, would add 2\n");
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), kHeld);

  const test::CliResult stored = RunCliWithInput({"load-csv", "-"}, "results.txt");
  EXPECT_EQ(stored.exitCode, 0) << stored.err;
  // A run that stores keeps its one line on standard output.
  EXPECT_EQ(stored.out, "added 2\n");
  EXPECT_EQ(stored.err, kSummary);
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), std::string(kHeld) + "0003,194\r\n0004,019\r\n");
}

// A refusal is exit status 1 with the reason, and the history keeps its bytes,
// with --dry-run or without.
TEST(LoadCsvCommand, RefusalsHaveExitStatusOneAndChangeNothing) {
  TempWorkingDirectory folder;
  WriteFileBytes("kitebarnum.dat", kHeld);
  WriteFileBytes("wrong.csv", "回,当せん番号\n第2回,989\n");
  for (const bool dryRun : {false, true}) {
    const test::CliResult refused =
        dryRun ? RunCli({"load-csv", "--dry-run", "wrong.csv"}) : RunCli({"load-csv", "wrong.csv"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(refused.err.find("第 2 回（履歴 988、2 行目 989）"), std::string::npos)
        << refused.err;
    EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), kHeld);
  }
  EXPECT_EQ(RunCli({"load-csv", "--dry-run"}).exitCode, 2);
  // Standard input beyond the limit of a results file, as a file beyond it is.
  WriteFileBytes("huge.csv", std::string((8 << 20) + 1, '1'));
  for (const auto& [args, input] :
       {std::pair<std::vector<std::string>, const char*>{{"load-csv", "-"}, "huge.csv"},
        {{"load-csv", "huge.csv"}, "/dev/null"}}) {
    const test::CliResult huge = RunCliWithInput(args, input);
    EXPECT_EQ(huge.exitCode, 1);
    EXPECT_NE(huge.err.find("大きすぎる"), std::string::npos) << huge.err;
  }
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), kHeld);
}

}  // namespace
}  // namespace kitebar
