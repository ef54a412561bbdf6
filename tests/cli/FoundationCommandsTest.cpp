#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/CliRunner.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::ReadFileBytes;
using test::RunCli;
using test::TempWorkingDirectory;
using test::WriteFileBytes;

// The real results round-trip: loading the sample and printing the history
// gives back every draw as the file stores it.
TEST(CliFoundation, LoadCsvThenHistoryReproducesTheSample) {
  TempWorkingDirectory folder;
  const test::CliResult loaded = RunCli({"load-csv", KITEBAR_SAMPLE_CSV});
  ASSERT_EQ(loaded.exitCode, 0) << loaded.err;
  EXPECT_EQ(loaded.out, "added 7088\n");
  EXPECT_EQ(loaded.err,
            "read 7088 draws 1-7088\nheld 0 all agree\nnew 7088 draws 1-7088\npadded 0\n");

  const test::CliResult history = RunCli({"history"});
  ASSERT_EQ(history.exitCode, 0);
  std::string expected = "count 7088\n";
  const std::string csv = ReadFileBytes(KITEBAR_SAMPLE_CSV);
  std::size_t start = 0;
  while (start < csv.size()) {
    const std::size_t end = csv.find('\n', start);
    const std::string line = csv.substr(start, end - start);
    const int draw = std::stoi(line.substr(0, line.find(',')));
    char formatted[16];
    std::snprintf(formatted, sizeof formatted, "%04d,%s\n", draw,
                  line.substr(line.rfind(',') + 1).c_str());
    expected += formatted;
    start = end + 1;
  }
  EXPECT_EQ(history.out, expected);
  const test::CliResult again = RunCli({"load-csv", KITEBAR_SAMPLE_CSV});
  EXPECT_EQ(again.out, "added 0\n");
  EXPECT_EQ(again.err, "read 7088 draws 1-7088\nheld 7088 all agree\nnew 0 draws\npadded 0\n");
}

TEST(CliFoundation, FailuresAndUsageErrorsHaveTheirExitCodes) {
  TempWorkingDirectory folder;
  const test::CliResult missing = RunCli({"history"});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("当選番号の取得に失敗しました。"), std::string::npos);
  EXPECT_EQ(RunCli({"no-such-command"}).exitCode, 2);
  EXPECT_EQ(RunCli({"load-csv"}).exitCode, 2);

  WriteFileBytes("bad.csv", "1,191\n2,98\n");
  const test::CliResult bad = RunCli({"load-csv", "bad.csv"});
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_NE(bad.err.find("2 行目"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists("kitebarnum.dat"));
}

TEST(CliFoundation, SettingsPrintsValuesAsRead) {
  TempWorkingDirectory folder;
  WriteFileBytes("./base.ini", "[StepNum]\r\nnum=123456789012345678\r\n");
  WriteFileBytes("./type2.ini", "[EndPoint]\r\nnum=23885\r\n");
  const test::CliResult settings = RunCli({"settings"});
  ASSERT_EQ(settings.exitCode, 0);
  EXPECT_NE(settings.out.find("./base.ini [StepNum] num=123456789012345\n"), std::string::npos);
  EXPECT_NE(settings.out.find("./type2.ini [EndPoint] num=2388\n"), std::string::npos);
  EXPECT_EQ(settings.out.rfind("./base.ini [StartIndex] index=0\n", 0), 0u);
}

}  // namespace
}  // namespace kitebar
