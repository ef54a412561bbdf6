// Full-width digits, as a Japanese input method types them, are the digits
// they look like in every number and settings value of the command line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/CliRunner.h"
#include "support/FolderFixtures.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::HistoryUpTo;
using test::ReadFileBytes;
using test::RunCli;
using test::TempWorkingDirectory;
using test::WriteFileBytes;

struct FullWidthCase {
  const char* name;
  std::vector<std::string> args;
  std::string out;     // a part of what is printed
  std::string file;    // the file written
  std::string stored;  // a part of it
};

class CliFullWidthDigits : public testing::TestWithParam<FullWidthCase> {};

TEST_P(CliFullWidthDigits, AreTakenAsDigits) {
  TempWorkingDirectory folder;
  const FullWidthCase& c = GetParam();
  WriteFileBytes("kitebarnum.dat", HistoryUpTo(5));

  const test::CliResult result = RunCli(c.args);
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_NE(result.out.find(c.out), std::string::npos) << result.out;
  EXPECT_NE(ReadFileBytes(c.file).find(c.stored), std::string::npos) << ReadFileBytes(c.file);
}

INSTANTIATE_TEST_SUITE_P(Cases, CliFullWidthDigits,
                         testing::Values(FullWidthCase{"WinningNumber",
                                                       {"register", "１２３"},
                                                       "registered 6 123\n",
                                                       "kitebarnum.dat",
                                                       "0006,123\r\n"},
                                         FullWidthCase{"WinningNumberPadded",
                                                       {"register", "７"},
                                                       "registered 6 007\n",
                                                       "kitebarnum.dat",
                                                       "0006,007\r\n"},
                                         FullWidthCase{"Position",
                                                       {"position", "6", "４５６"},
                                                       "position 6 456\n",
                                                       "kitebarnum.dat",
                                                       "0006,,456,1\r\n"},
                                         FullWidthCase{"StopConstantAndReachPoint",
                                                       {"settings", "set-type", "2",
                                                        "EndPoint=２４０", "Toutatu3=１．５"},
                                                       "[EndPoint] num=240\n",
                                                       "type2.ini",
                                                       "[Toutatu3]\r\nf=1.50\r\n"},
                                         FullWidthCase{"StepNumber",
                                                       {"settings", "set-core", "StepNum=１２０"},
                                                       "[StepNum] num=120\n",
                                                       "base.ini",
                                                       "[StepNum]\r\nnum=120\r\n"}),
                         [](const testing::TestParamInfo<FullWidthCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace kitebar
