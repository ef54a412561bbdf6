// What a command writes goes where the user keeps the file, and what it says
// about a write is what happened.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/CliRunner.h"
#include "support/FileSizeLimit.h"
#include "support/FolderFixtures.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::HistoryUpTo;
using test::ReadFileBytes;
using test::RunCli;
using test::TempWorkingDirectory;
using test::WriteFileBytes;

// A history and settings kept in a synced folder behind links in the working
// folder: every writer updates the synced file and the link stays.
TEST(SafeWrites, WritersUpdateTheTargetOfALinkedFile) {
  struct Case {
    const char* file;
    std::vector<std::string> args;
    const char* written;  // a part of the target's new contents
  };
  for (const Case& c : {Case{"kitebarnum.dat", {"register", "123"}, "0031,123"},
                        Case{"kitebarnum.dat", {"load-csv", "more.csv"}, "0031,456"},
                        Case{"kitebarnum.dat", {"position", "31", "777"}, "0031,,777"},
                        Case{"base.ini", {"settings", "set-core", "StepNum=45"}, "num=45"},
                        Case{"type2.ini", {"settings", "set-type", "2", "EndPoint=123"}, "123"}}) {
    TempWorkingDirectory folder;
    std::filesystem::create_directory("synced");
    WriteFileBytes("kitebarnum.dat", HistoryUpTo(30));
    WriteFileBytes("more.csv", "31,456\n");
    WriteFileBytes(std::string("synced/") + c.file,
                   c.file == std::string("kitebarnum.dat") ? HistoryUpTo(30) : "");
    std::filesystem::remove(c.file);
    std::filesystem::create_symlink(std::string("synced/") + c.file, c.file);
    const test::CliResult result = RunCli(c.args);
    ASSERT_EQ(result.exitCode, 0) << c.args.front() << ": " << result.err;
    EXPECT_TRUE(std::filesystem::is_symlink(c.file)) << c.args.front();
    EXPECT_NE(ReadFileBytes(std::string("synced/") + c.file).find(c.written), std::string::npos)
        << c.args.front();
  }
}

// Draws and counts are decimal: "0x10" is refused rather than taken for 16,
// and "010" is draw 10, not 8.
TEST(SafeWrites, NumbersOnTheCommandLineAreDecimal) {
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    int correctedDraw;  // 0: the history stays as it was
  };
  for (const Case& c :
       {Case{{"register", "--draw", "0x10", "456"}, 2, 0},
        Case{{"register", "--draw", "1e1", "456"}, 2, 0},
        Case{{"register", "--draw", "010", "456"}, 0, 10}, Case{{"position", "0x1f", "456"}, 2, 0},
        Case{{"evaluate", "--from", "0x10"}, 2, 0}, Case{{"tune", "--train-to", "0b11"}, 2, 0}}) {
    TempWorkingDirectory folder;
    WriteFileBytes("kitebarnum.dat", HistoryUpTo(30));
    const test::CliResult result = RunCli(c.args);
    EXPECT_EQ(result.exitCode, c.exitCode) << c.args[2] << ": " << result.err;
    std::string expected = HistoryUpTo(30);
    if (c.correctedDraw > 0) {
      const std::size_t at = expected.find("0010,") + 5;
      expected.replace(at, 3, "456");
    }
    EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), expected) << c.args[2];
  }
}

// A repair that cannot save refuses before it copies anything, however often
// it is tried.
TEST(SafeWrites, RepairOfAReadOnlyHistoryLeavesNoBackup) {
  TempWorkingDirectory folder;
  const std::string damaged = HistoryUpTo(30) + "0005,999\r\n";
  WriteFileBytes("kitebarnum.dat", damaged);
  std::filesystem::permissions("kitebarnum.dat", std::filesystem::perms::owner_read |
                                                     std::filesystem::perms::group_read |
                                                     std::filesystem::perms::others_read);
  for (int attempt = 0; attempt < 3; ++attempt) {
    const test::CliResult result = RunCli({"repair"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("読み取り専用"), std::string::npos) << result.err;
  }
  EXPECT_EQ(test::FolderEntryNames(), (std::vector<std::string>{"kitebar.lock", "kitebarnum.dat"}));
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), damaged);
}

// The set file is saved before the page; when the page then fails on a full
// disk, the message says that the set was saved.
TEST(SafeWrites, TuneSaysWhatItSavedWhenThePageFails) {
  TempWorkingDirectory folder;
  WriteFileBytes("kitebarnum.dat", HistoryUpTo(300));
  const test::CliResult result = [] {
    const test::FileSizeLimit nearlyFull(4096);
    return RunCli({"tune", "--train-to", "150", "--save-to", "3"});
  }();
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("Kitebar_tuning.html"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("タイプ3（./type3.ini）に保存しました"), std::string::npos)
      << result.err;
  EXPECT_NE(ReadFileBytes("type3.ini").find("[EndPoint]"), std::string::npos);
}

}  // namespace
}  // namespace kitebar
