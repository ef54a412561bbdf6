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
using ::testing::HasSubstr;
using ::testing::MatchesRegex;

constexpr char kPage[] = "Kitebar_tuning.html";
constexpr char kFigures[] = " hits [0-9]+ expected [0-9]+\\.[0-9]{2} p [01]\\.[0-9]{4}";

// "hits H expected E p P" of a line, after its label.
std::string FiguresOf(const std::string& line) {
  return line.substr(line.find(" hits "));
}

// The real history, the five sets and the back-test files, all with
// contents of their own.
class TuneCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RunCli({"load-csv", KITEBAR_SAMPLE_CSV}).exitCode, 0);
    for (const char* set : {"1", "2", "3", "4", "5"}) {
      ASSERT_EQ(RunCli({"settings", "set-type", set, "EndPoint=10" + std::string(set),
                        "Toutatu1=3.33", "Tekicyuten1=14.44", "SpeedRate1=4"})
                    .exitCode,
                0);
    }
    ASSERT_EQ(RunCli({"settings", "set-core", "StepNum=47", "Diameter=33.3"}).exitCode, 0);
    WriteFileBytes("Kitebard.dat", "7088\r\n20\r\n");
    WriteFileBytes("Kitebard_100.dat", "7087\r\n00\r\n7088\r\n13\r\n");
  }
  TempWorkingDirectory folder_;
};

TEST_F(TuneCommand, PrintsTheFiveLinesAndWritesNothingButThePage) {
  const std::map<std::string, std::string> before = test::FolderContents();
  const test::CliResult result = RunCli({"tune", "--train-to", "6000", "--threads", "2"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const std::vector<std::string> lines = test::OutputLines(result.out);
  ASSERT_EQ(lines.size(), 5u) << result.out;
  EXPECT_EQ(lines[0], "searched 100 rules on draws 2 to 6000 (kind box)");
  EXPECT_THAT(lines[1], MatchesRegex(std::string("train best") + kFigures));
  EXPECT_THAT(lines[2], MatchesRegex(std::string("holdout best") + kFigures));
  EXPECT_THAT(lines[3], MatchesRegex(std::string("holdout current") + kFigures));
  EXPECT_THAT(lines[4], MatchesRegex("train best adjusted p [01]\\.[0-9]{4} over 100 rules"));

  std::map<std::string, std::string> after = test::FolderContents();
  ASSERT_EQ(after.count(kPage), 1u);
  const std::string page = after[kPage];
  EXPECT_EQ(page.rfind("<!DOCTYPE html>\n<html lang=\"ja\">", 0), 0u);
  EXPECT_THAT(page, HasSubstr("<svg class=\"wide\""));
  EXPECT_THAT(page, HasSubstr("見つけた設定・検証"));
  EXPECT_THAT(page, HasSubstr("調整済み p値"));
  EXPECT_EQ(page.find("<script"), std::string::npos);
  after.erase(kPage);
  EXPECT_EQ(after, before);
}

// The same lines whatever the thread count, for each kind; a mini tells
// ten rules apart.
TEST_F(TuneCommand, PrintsTheSameLinesForAnyThreadCount) {
  for (const char* kind : {"straight", "box", "mini"}) {
    const std::vector<std::string> base{"tune", "--train-to", "5000", "--kind", kind};
    std::vector<std::string> one = base;
    one.insert(one.end(), {"--threads", "1"});
    std::vector<std::string> three = base;
    three.insert(three.end(), {"--threads", "3"});
    const test::CliResult alone = RunCli(one);
    ASSERT_EQ(alone.exitCode, 0) << alone.err;
    EXPECT_THAT(alone.out, HasSubstr(std::string("(kind ") + kind + ")"));
    EXPECT_THAT(alone.out, HasSubstr(std::string(" over ") +
                                     (std::string(kind) == "mini" ? "10" : "100") + " rules\n"));
    EXPECT_EQ(RunCli(three).out, alone.out) << kind;
  }
}

// The best setting goes into set 3 and nowhere else; the set's thousands
// values stay; and the set as saved, evaluated from its file by `evaluate`,
// gives the search's figures for the training draws and the hold-out.
TEST_F(TuneCommand, SaveToWritesTheBestSettingIntoThatSetOnly) {
  const std::map<std::string, std::string> before = test::FolderContents();
  const test::CliResult tuned = RunCli({"tune", "--train-to", "6000", "--save-to", "3"});
  ASSERT_EQ(tuned.exitCode, 0) << tuned.err;
  const std::vector<std::string> lines = test::OutputLines(tuned.out);
  ASSERT_EQ(lines.size(), 5u);

  std::map<std::string, std::string> after = test::FolderContents();
  const std::string set = after["type3.ini"];
  EXPECT_THAT(after[kPage], HasSubstr("タイプ３に保存しました"));
  EXPECT_THAT(set, HasSubstr("[Toutatu1]\r\nf=3.33\r\n"));
  EXPECT_THAT(set, HasSubstr("[Tekicyuten1]\r\nf=14.44\r\n"));
  EXPECT_THAT(set, HasSubstr("[SpeedRate1]\r\nnum=4\r\n"));
  EXPECT_THAT(set, MatchesRegex("\\[EndPoint\\]\r\nnum=[0-9]{3}\r\n"
                                "(\\[Toutatu[1-4]\\]\r\nf=[0-5]\\.[0-9]{2}\r\n){4}"
                                "(\\[Tekicyuten[1-4]\\]\r\nf=1[0-5]\\.[0-9]{2}\r\n){4}"
                                "(\\[SpeedRate[1-4]\\]\r\nnum=[0-4]\r\n){4}"));
  after.erase("type3.ini");
  after.erase(kPage);
  std::map<std::string, std::string> unchanged = before;
  unchanged.erase("type3.ini");
  EXPECT_EQ(after, unchanged);

  const test::CliResult training =
      RunCli({"evaluate", "--type", "3", "--from", "2", "--to", "6000"});
  const test::CliResult holdout =
      RunCli({"evaluate", "--type", "3", "--from", "6001", "--to", "7088"});
  ASSERT_EQ(test::OutputLines(training.out).size(), 4u) << training.err;
  ASSERT_EQ(test::OutputLines(holdout.out).size(), 4u) << holdout.err;
  EXPECT_EQ(FiguresOf(test::OutputLines(training.out)[2]), FiguresOf(lines[1]));
  EXPECT_EQ(FiguresOf(test::OutputLines(holdout.out)[2]), FiguresOf(lines[2]));
}

// Ctrl+C before the simulation is done: nothing is printed, written or
// saved.
TEST_F(TuneCommand, CtrlCStopsAndWritesNothing) {
  const std::map<std::string, std::string> before = test::FolderContents();
  const test::CliResult result =
      test::RunCliInterrupted({"tune", "--train-to", "6988", "--save-to", "2"});
  EXPECT_EQ(result.exitCode, 130);
  EXPECT_EQ(result.out, "");
  EXPECT_THAT(result.err, HasSubstr("途中で止めました"));
  EXPECT_EQ(test::FolderContents(), before);
}

// The sample's size and seed are gone: asking for them says why.
TEST_F(TuneCommand, RefusesTheRetiredSampleOptionsSayingWhy) {
  for (const char* option : {"--budget", "--seed"}) {
    const test::CliResult result = RunCli({"tune", "--train-to", "6000", option, "5"});
    EXPECT_EQ(result.exitCode, 2) << option;
    EXPECT_THAT(result.err, HasSubstr("すべて正確に調べる")) << option;
  }
}

class TuneRefuses : public TuneCommand,
                    public ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(TuneRefuses, ExitsTwoAndWritesNothing) {
  const std::map<std::string, std::string> before = test::FolderContents();
  std::vector<std::string> args{"tune"};
  args.insert(args.end(), GetParam().begin(), GetParam().end());
  const test::CliResult result = RunCli(args);
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_FALSE(result.err.empty());
  EXPECT_EQ(test::FolderContents(), before);
}

using Args = std::vector<std::string>;

INSTANTIATE_TEST_SUITE_P(BadArguments, TuneRefuses,
                         ::testing::Values(Args{}, Args{"--train-to", "1"},
                                           Args{"--train-to", "6989"}, Args{"--train-to", "abc"},
                                           Args{"--train-to", "6000", "--budget", "0"},
                                           Args{"--train-to", "6000", "--budget", "1.5"},
                                           Args{"--train-to", "6000", "--threads", "0"},
                                           Args{"--train-to", "6000", "--threads", "257"},
                                           Args{"--train-to", "6000", "--save-to", "0"},
                                           Args{"--train-to", "6000", "--save-to", "6"},
                                           Args{"--train-to", "6000", "--kind", "pair"},
                                           Args{"--train-to", "6000", "--seed", "x"},
                                           Args{"--train-to", "6000", "--seed", "-1"}),
                         [](const ::testing::TestParamInfo<Args>& info) {
                           std::string joined;
                           for (const std::string& arg : info.param)
                             joined += arg + " ";
                           return test::CaseName(joined, info.index);
                         });

}  // namespace
}  // namespace kitebar
