#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/CaseNames.h"
#include "support/CliRunner.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::ReadFileBytes;
using test::RunCli;
using test::TempWorkingDirectory;
using test::WriteFileBytes;
using ::testing::MatchesRegex;

constexpr char kPage[] = "Kitebar_kensho.html";

class EvaluateCommand : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(RunCli({"load-csv", KITEBAR_SAMPLE_CSV}).exitCode, 0); }
  TempWorkingDirectory folder_;
};

TEST_F(EvaluateCommand, PrintsTheFourLinesThenWritesThePage) {
  const test::CliResult result = RunCli({"evaluate"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const std::vector<std::string> lines = test::OutputLines(result.out);
  ASSERT_EQ(lines.size(), 4u) << result.out;
  EXPECT_EQ(lines[0], "draws 7087 type 1 from 2 to 7088 skipped 0");
  EXPECT_THAT(lines[1], MatchesRegex("straight hits [0-9]+ expected 70\\.87 p [01]\\.[0-9]{4}"));
  EXPECT_THAT(lines[2],
              MatchesRegex("box hits [0-9]+ expected [0-9]+\\.[0-9]{2} p [01]\\.[0-9]{4}"));
  EXPECT_THAT(lines[3], MatchesRegex("mini hits [0-9]+ expected 708\\.70 p [01]\\.[0-9]{4}"));
  const std::string page = ReadFileBytes(kPage);
  EXPECT_EQ(page.rfind("<!DOCTYPE html>\n<html lang=\"ja\">", 0), 0u);
  EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);
}

// The history, its positions, the back-test files and the settings keep
// their bytes; only the page is new. With stored positions a fifth line
// tells how many draws used one and how many of those were decided.
TEST_F(EvaluateCommand, WritesNothingButThePage) {
  ASSERT_EQ(RunCli({"settings", "set-type", "2", "EndPoint=105", "Toutatu2=3.50"}).exitCode, 0);
  ASSERT_EQ(RunCli({"settings", "set-core", "StepNum=47", "Diameter=33.3"}).exitCode, 0);
  ASSERT_EQ(RunCli({"analyse", "--auto", "--draw", "7000"}).exitCode, 0);
  ASSERT_EQ(RunCli({"position", "6990", "123"}).exitCode, 0);
  WriteFileBytes("Kitebard.dat", "7088\r\n20\r\n");
  WriteFileBytes("Kitebard_100.dat", "7087\r\n00\r\n7088\r\n13\r\n");
  const std::map<std::string, std::string> before = test::FolderContents();

  ASSERT_EQ(RunCli({"evaluate"}).exitCode, 0);
  const test::CliResult stored =
      RunCli({"evaluate", "--stored-positions", "--type", "2", "--from", "6981", "--to", "7080"});
  ASSERT_EQ(stored.exitCode, 0) << stored.err;
  const std::vector<std::string> lines = test::OutputLines(stored.out);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "draws 100 type 2 from 6981 to 7080 skipped 0");
  EXPECT_EQ(lines[4], "stored-positions used 20 decided 1");

  std::map<std::string, std::string> after = test::FolderContents();
  ASSERT_EQ(after.erase(kPage), 1u);
  EXPECT_EQ(after, before);
}

// Lines that other tools read stand for a page that is there.
TEST_F(EvaluateCommand, APageThatCannotBeWrittenFailsBeforeAnyLine) {
  WriteFileBytes(kPage, "old");
  std::filesystem::permissions(kPage, std::filesystem::perms::owner_read);
  const test::CliResult result = RunCli({"evaluate", "--from", "7000"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_NE(result.err.find(kPage), std::string::npos) << result.err;
  EXPECT_EQ(ReadFileBytes(kPage), "old");
}

class EvaluateRefuses : public EvaluateCommand,
                        public ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(EvaluateRefuses, ExitsTwoAndWritesNothing) {
  const std::map<std::string, std::string> before = test::FolderContents();
  std::vector<std::string> args{"evaluate"};
  args.insert(args.end(), GetParam().begin(), GetParam().end());
  const test::CliResult result = RunCli(args);
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_FALSE(result.err.empty());
  EXPECT_EQ(test::FolderContents(), before);
}

INSTANTIATE_TEST_SUITE_P(BadArguments, EvaluateRefuses,
                         ::testing::Values(std::vector<std::string>{"--from", "1"},
                                           std::vector<std::string>{"--from", "0"},
                                           std::vector<std::string>{"--to", "7089"},
                                           std::vector<std::string>{"--from", "100", "--to", "99"},
                                           std::vector<std::string>{"--from", "abc"},
                                           std::vector<std::string>{"--to", "1.5"},
                                           std::vector<std::string>{"--type", "0"},
                                           std::vector<std::string>{"--type", "6"}),
                         [](const ::testing::TestParamInfo<std::vector<std::string>>& info) {
                           std::string joined;
                           for (const std::string& arg : info.param)
                             joined += arg + " ";
                           return test::CaseName(joined, info.index);
                         });

}  // namespace
}  // namespace kitebar
