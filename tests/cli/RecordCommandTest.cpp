#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/CliRunner.h"
#include "support/ScopedEnvironment.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::OutputLines;
using test::ReadFileBytes;
using test::RunCli;
using test::ScopedEnvironment;
using test::TempWorkingDirectory;
using test::WriteFileBytes;

constexpr char kRecord[] = "kitebar-record.csv";

class CliRecord : public testing::Test {
 protected:
  void SetUp() override { WriteFileBytes("kitebarnum.dat", "0001,111\r\n0002,222\r\n"); }

  TempWorkingDirectory folder_;
  ScopedEnvironment time_{"KITEBAR_RECORD_TIME", "2025-01-06T09:30:00Z"};
};

// Predicted twice, drawn, predicted for the next draw by the registration:
// one line per entry, and the score in fixed lines.
TEST_F(CliRecord, PredictionsBeforeTheirDrawsAreScoredAgainstChance) {
  const test::CliResult predicted = RunCli({"predict"});
  ASSERT_EQ(predicted.exitCode, 0) << predicted.err;
  ASSERT_EQ(RunCli({"predict", "--draw", "3"}).exitCode, 0);
  ASSERT_EQ(RunCli({"predict", "--draw", "2"}).exitCode, 0);
  const std::vector<std::string> once = OutputLines(ReadFileBytes(kRecord));
  ASSERT_EQ(once.size(), 1u);
  EXPECT_TRUE(once[0].starts_with("2025-01-06T09:30:00Z,predict,3,1,")) << once[0];
  const std::string winning = OutputLines(predicted.out)[1].substr(3);
  ASSERT_EQ(RunCli({"register", winning}).err, "");
  const test::CliResult scored = RunCli({"record"});
  ASSERT_EQ(scored.exitCode, 0) << scored.err;
  const std::vector<std::string> lines = OutputLines(scored.out);
  ASSERT_EQ(lines.size(), 5u) << scored.out;
  EXPECT_EQ(lines[0], "entries 2 draws 2 from 3 to 4 scored 1 waiting 1 settings 1 corrections 0");
  EXPECT_EQ(lines[1], "straight hits 1 expected 0.01 p 0.0100");
  EXPECT_TRUE(lines[3].starts_with("mini hits 1 ")) << lines[3];
  const std::vector<std::string> record = OutputLines(ReadFileBytes(kRecord));
  ASSERT_EQ(record.size(), 3u);
  EXPECT_EQ(lines[4], "chain whole lines 3 head " + record[2].substr(record[2].size() - 64));
}

TEST_F(CliRecord, AnEmptyRecordScoresNothing) {
  const test::CliResult scored = RunCli({"record"});
  ASSERT_EQ(scored.exitCode, 0) << scored.err;
  EXPECT_EQ(scored.out,
            "entries 0 draws 0 from 0 to 0 scored 0 waiting 0 settings 0 corrections 0\n"
            "straight hits 0 expected 0.00 p 1.0000\n"
            "box hits 0 expected 0.00 p 1.0000\n"
            "mini hits 0 expected 0.00 p 1.0000\n"
            "chain whole lines 0 head "
            "0000000000000000000000000000000000000000000000000000000000000000\n");
  EXPECT_FALSE(std::filesystem::exists(kRecord));
}

// The prediction is shown whatever becomes of the record; an edited record
// is scored up to the edit and named.
TEST_F(CliRecord, ARecordThatCannotTakeTheEntryLeavesThePredictionShown) {
  ASSERT_EQ(RunCli({"predict"}).exitCode, 0);
  ASSERT_EQ(RunCli({"register", "123"}).exitCode, 0);
  std::string edited = ReadFileBytes(kRecord);
  edited.replace(edited.find(",result,3,,,123,"), 16, ",result,3,,,124,");
  WriteFileBytes(kRecord, edited);
  const test::CliResult predicted = RunCli({"predict"});
  EXPECT_EQ(predicted.exitCode, 0);
  EXPECT_TRUE(predicted.out.starts_with("第 4 回\n")) << predicted.out;
  EXPECT_NE(predicted.err.find("2 行目"), std::string::npos) << predicted.err;
  EXPECT_EQ(ReadFileBytes(kRecord), edited);
  const test::CliResult scored = RunCli({"record"});
  EXPECT_EQ(scored.exitCode, 1);
  EXPECT_TRUE(scored.out.starts_with("entries 1 draws 1 from 3 to 3 scored 1 ")) << scored.out;
  EXPECT_TRUE(scored.out.ends_with("chain broken line 2\n")) << scored.out;
  EXPECT_NE(scored.err.find("「kitebar-record.csv」の 2 行目"), std::string::npos) << scored.err;
  std::filesystem::remove(kRecord);
  std::filesystem::create_directory(kRecord);
  const test::CliResult refused = RunCli({"predict"});
  EXPECT_EQ(refused.exitCode, 0);
  EXPECT_TRUE(refused.out.starts_with("第 4 回\n"));
  EXPECT_NE(refused.err.find("kitebar-record.csv"), std::string::npos) << refused.err;
  EXPECT_EQ(RunCli({"record"}).exitCode, 1);
}

}  // namespace
}  // namespace kitebar
