#include <gtest/gtest.h>

#include <string>

#include "support/CliRunner.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::ReadFileBytes;
using test::RunCli;
using test::TempWorkingDirectory;
using test::WriteFileBytes;

class BackTestCommands : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(RunCli({"load-csv", KITEBAR_SAMPLE_CSV}).exitCode, 0); }
  TempWorkingDirectory folder;
};

TEST_F(BackTestCommands, RegisteringTheNextDrawAddsOneHitRecord) {
  ASSERT_EQ(RunCli({"register", "175"}).exitCode, 0);
  EXPECT_EQ(RunCli({"hits", "--all"}).out, "draws 1 wins 0 straight 0 box 0 mini 0\n");
  const test::CliResult second = RunCli({"register", "5"});
  ASSERT_EQ(second.exitCode, 0) << second.err;
  EXPECT_EQ(second.out, "registered 7090 005\n");
  EXPECT_EQ(RunCli({"hits", "--all"}).out.substr(0, 8), "draws 2 ");
  EXPECT_EQ(RunCli({"history"}).out.substr(0, 11), "count 7090\n");
  EXPECT_TRUE(std::filesystem::exists("Kitebar.html"));
}

TEST_F(BackTestCommands, InvalidEntriesAndDrawsExitTwoAndStoreNothing) {
  const std::string before = ReadFileBytes("kitebarnum.dat");
  EXPECT_EQ(RunCli({"register", "1a"}).exitCode, 2);
  EXPECT_EQ(RunCli({"register", "--draw", "7089", "123"}).exitCode, 2);
  EXPECT_EQ(RunCli({"position", "7090", "123"}).exitCode, 2);
  EXPECT_EQ(RunCli({"position", "5", "12x"}).exitCode, 2);
  EXPECT_EQ(RunCli({"analyse", "--draw", "1"}).exitCode, 2);
  EXPECT_EQ(RunCli({"analyse", "--type", "6"}).exitCode, 2);
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), before);
  EXPECT_FALSE(std::filesystem::exists("Kitebard.dat"));
}

TEST_F(BackTestCommands, UnwritableBackTestFileExitsOneAndKeepsTheHistory) {
  const std::string before = ReadFileBytes("kitebarnum.dat");
  std::filesystem::create_directory("Kitebard.dat");
  const test::CliResult result = RunCli({"register", "123"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("Kitebard.dat"), std::string::npos);
  // Refused before anything was written: not even the estimated position.
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), before);
  EXPECT_EQ(RunCli({"history"}).out.substr(0, 11), "count 7088\n");
}

TEST_F(BackTestCommands, AnalysisListsAndCorrectionKeepsPositions) {
  const test::CliResult single = RunCli({"analyse", "--draw", "3"});
  ASSERT_EQ(single.exitCode, 0);
  EXPECT_EQ(single.out.substr(0, 7), "1: 000\n");
  EXPECT_EQ(single.out.size(), 14u);
  ASSERT_EQ(RunCli({"position", "7089", "7"}).exitCode, 0);
  ASSERT_EQ(RunCli({"analyse", "--auto"}).exitCode, 0);
  const std::string history = RunCli({"history"}).out;
  EXPECT_NE(history.find("\n0002,988,"), std::string::npos);
  EXPECT_NE(history.find("\n7089,,007,1\n"), std::string::npos);
  ASSERT_EQ(RunCli({"register", "--draw", "2", "989"}).exitCode, 0);
  EXPECT_NE(RunCli({"history"}).out.find("\n0002,989,"), std::string::npos);
}

TEST_F(BackTestCommands, RecentRunTestsTheLast500Draws) {
  const test::CliResult recent = RunCli({"hits", "--recent"});
  ASSERT_EQ(recent.exitCode, 0) << recent.err;
  EXPECT_EQ(recent.out.substr(0, 10), "draws 500 ");
  const std::string records = ReadFileBytes("Kitebard_100.dat");
  EXPECT_EQ(records.rfind("6589\r\n", 0), 0u);
  EXPECT_TRUE(std::filesystem::exists("Kitebar_100.html"));
}

}  // namespace
}  // namespace kitebar
