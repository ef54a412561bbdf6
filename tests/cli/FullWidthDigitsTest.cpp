// Full-width digits, as a Japanese input method types them, are the digits
// they look like in the numbers and settings values of the command line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/CliRunner.h"
#include "support/FolderFixtures.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

TEST(CliFullWidthDigits, AreTakenAsDigits) {
  const struct {
    std::vector<std::string> args;
    std::string file;
    std::string stored;
  } cases[] = {
      {{"register", "１２３"}, "kitebarnum.dat", "\r\n0006,123"},
      {{"position", "6", "４５６"}, "kitebarnum.dat", "\r\n0006,,456,1\r\n"},
      {{"settings", "set-type", "2", "EndPoint=２４０", "Toutatu3=１．５"},
       "type2.ini",
       "[Toutatu3]\r\nf=1.50\r\n"},
      {{"settings", "set-core", "StepNum=１２０"}, "base.ini", "[StepNum]\r\nnum=120\r\n"},
      // Options and draw numbers go through the parser's own check of numbers.
      {{"position", "６", "998"}, "kitebarnum.dat", "\r\n0006,,998,1\r\n"},
      {{"register", "--draw", "５", "１２"}, "kitebarnum.dat", "\r\n0005,012\r\n"},
      {{"evaluate", "--from", "２", "--to", "５"}, "Kitebar_kensho.html", "<html"},
  };
  for (const auto& c : cases) {
    test::TempWorkingDirectory folder;
    test::WriteFileBytes("kitebarnum.dat", test::HistoryUpTo(5));
    const test::CliResult result = test::RunCli(c.args);
    EXPECT_EQ(result.exitCode, 0) << c.args[0] << ": " << result.err;
    EXPECT_NE(test::ReadFileBytes(c.file).find(c.stored), std::string::npos) << c.args[0];
  }
}

}  // namespace
}  // namespace kitebar
