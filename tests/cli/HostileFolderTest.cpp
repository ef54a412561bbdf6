// The working folder as someone else may leave it: links planted where
// temporary files used to be, named pipes, devices and folders in the place
// of the files, read-only files, a history damaged by a stray line, and
// another writer holding the folder's lock.
#include <gtest/gtest.h>
#include <sys/stat.h>

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

const std::vector<std::string> kFolderFiles{"kitebarnum.dat", "tmp.dat",      "base.ini",
                                            "type1.ini",      "Kitebard.dat", "Kitebard_100.dat",
                                            "showyosou.html", "Kitebar.html", "Kitebar_100.html"};

// Every command that writes a file of the folder.
const std::vector<std::vector<std::string>> kWriters{{"register", "123"},
                                                     {"register", "--draw", "3", "456"},
                                                     {"position", "31", "777"},
                                                     {"predict"},
                                                     {"analyse", "--auto"},
                                                     {"hits", "--recent", "--all"},
                                                     {"hits", "--all"},
                                                     {"settings", "set-core", "StepNum=45"},
                                                     {"settings", "set-type", "1", "EndPoint=123"},
                                                     {"load-csv", "more.csv"}};

TEST(HostileFolder, LinksAtTheOldTemporaryNamesAreNeverFollowed) {
  TempWorkingDirectory folder;
  WriteFileBytes("kitebarnum.dat", HistoryUpTo(30));
  WriteFileBytes("more.csv", "31,123\n");
  WriteFileBytes("Kitebard.dat", "30\r\n00\r\n");
  WriteFileBytes("victim", "victim's bytes");
  for (const std::string& file : kFolderFiles)
    std::filesystem::create_symlink("victim", file + ".tmp");
  for (const auto& writer : kWriters) {
    const test::CliResult result = RunCli(writer);
    EXPECT_EQ(result.exitCode, 0) << writer.front() << ": " << result.err;
  }
  EXPECT_EQ(ReadFileBytes("victim"), "victim's bytes");
  for (const std::string& file : kFolderFiles)
    EXPECT_FALSE(std::filesystem::is_symlink(file)) << file;
}

enum class Special { kPipe, kDeviceLink, kFolder };

struct SpecialCase {
  const char* name;
  std::string file;
  Special special;
  std::vector<std::string> args;
  const char* says = "";  // what the message says beside the name
};

void MakeSpecial(const std::string& file, Special special) {
  std::filesystem::remove(file);
  switch (special) {
    case Special::kPipe:
      ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0);
      break;
    case Special::kDeviceLink:
      std::filesystem::create_symlink("/dev/zero", file);
      break;
    case Special::kFolder:
      std::filesystem::create_directory(file);
      break;
  }
}

class SpecialFile : public testing::TestWithParam<SpecialCase> {};

// Opened without blocking, refused with the file's name, never read.
TEST_P(SpecialFile, IsRefusedWithItsNameAndNothingIsWritten) {
  const SpecialCase& c = GetParam();
  TempWorkingDirectory folder;
  const std::string history = HistoryUpTo(30);
  WriteFileBytes("kitebarnum.dat", history);
  MakeSpecial(c.file, c.special);
  const test::CliResult result = RunCli(c.args);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find(c.file), std::string::npos) << result.err;
  EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
  EXPECT_EQ(result.err.find("作ってください"), std::string::npos) << result.err;
  EXPECT_EQ(result.err.find("既定値"), std::string::npos) << result.err;
  EXPECT_EQ(result.err.find("。。"), std::string::npos) << result.err;
  if (c.file != "kitebarnum.dat") {
    EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), history);
  }
  EXPECT_FALSE(std::filesystem::exists("showyosou.html"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SpecialFile,
    testing::Values(
        SpecialCase{"HistoryPipe", "kitebarnum.dat", Special::kPipe, {"history"}, "移してから"},
        SpecialCase{"HistoryDevice", "kitebarnum.dat", Special::kDeviceLink, {"predict"}},
        SpecialCase{"HistoryFolder", "kitebarnum.dat", Special::kFolder, {"register", "1"}},
        SpecialCase{"SettingsPipe", "base.ini", Special::kPipe, {"predict"}, "何もしていません"},
        SpecialCase{"SettingsDevice", "type3.ini", Special::kDeviceLink, {"settings"}},
        SpecialCase{"BackTestPipe", "Kitebard.dat", Special::kPipe, {"hits"}},
        SpecialCase{"BackTestDevice", "Kitebard.dat", Special::kDeviceLink, {"register", "1"}},
        SpecialCase{"RecentBackTestPipe", "Kitebard_100.dat", Special::kPipe, {"hits", "--recent"}},
        SpecialCase{"CsvDevice", "more.csv", Special::kDeviceLink, {"load-csv", "more.csv"}},
        SpecialCase{"CsvPipe", "more.csv", Special::kPipe, {"load-csv", "more.csv"}},
        SpecialCase{
            "CsvFolder", "more.csv", Special::kFolder, {"load-csv", "--dry-run", "more.csv"}}),
    [](const testing::TestParamInfo<SpecialCase>& info) { return std::string(info.param.name); });

TEST(HostileFolder, ReadOnlyFilesAreRefusedBeforeAnythingIsWritten) {
  TempWorkingDirectory folder;
  struct Case {
    const char* file;
    std::vector<std::string> args;
  };
  for (const Case& c :
       {Case{"kitebarnum.dat", {"register", "123"}}, Case{"kitebarnum.dat", {"predict"}},
        Case{"Kitebard.dat", {"register", "123"}}, Case{"showyosou.html", {"predict"}},
        Case{"base.ini", {"settings", "set-core", "StepNum=45"}}}) {
    for (const std::string& file : kFolderFiles)
      std::filesystem::remove(file);
    WriteFileBytes("kitebarnum.dat", HistoryUpTo(30));
    WriteFileBytes(c.file, c.file == std::string("kitebarnum.dat") ? HistoryUpTo(30) : "old");
    ::chmod(c.file, 0444);
    const test::CliResult result = RunCli(c.args);
    EXPECT_EQ(result.exitCode, 1) << c.file;
    EXPECT_NE(result.err.find("読み取り専用"), std::string::npos) << result.err;
    EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), HistoryUpTo(30)) << c.file;
    struct stat status {};
    ASSERT_EQ(::stat(c.file, &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0444u) << c.file;
    ::chmod(c.file, 0644);
  }
}

// A stray line naming an earlier draw would have cut the history down to it.
TEST(HostileFolder, DamagedHistoryIsKeptUntilRepaired) {
  TempWorkingDirectory folder;
  const std::string damaged = HistoryUpTo(30) + "0005,999\r\n";
  WriteFileBytes("kitebarnum.dat", damaged);
  WriteFileBytes("more.csv", "31,123\n");
  for (const auto& writer : kWriters) {
    if (writer.front() == "settings" || writer == std::vector<std::string>{"hits", "--all"})
      continue;  // these leave the history alone
    const test::CliResult result = RunCli(writer);
    EXPECT_EQ(result.exitCode, 1) << writer.front();
    EXPECT_NE(result.err.find("31 行目「0005,999」"), std::string::npos) << result.err;
  }
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), damaged);
  const test::CliResult reading = RunCli({"history"});
  EXPECT_EQ(reading.exitCode, 0);
  EXPECT_EQ(reading.out.substr(0, 9), "count 30\n");
  EXPECT_NE(reading.err.find("kitebar-cli repair"), std::string::npos);

  const test::CliResult repaired = RunCli({"repair"});
  ASSERT_EQ(repaired.exitCode, 0) << repaired.err;
  EXPECT_EQ(repaired.out.substr(0, 17), "repaired count 30");
  EXPECT_NE(repaired.out.find("dropped line 31 draw 5: 0005,999"), std::string::npos);
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), HistoryUpTo(30));
  const std::string backup = repaired.out.substr(
      repaired.out.find("backup ") + 7, repaired.out.find('\n') - repaired.out.find("backup ") - 7);
  EXPECT_EQ(ReadFileBytes(backup), damaged);
  EXPECT_EQ(RunCli({"repair"}).out, "history whole count 30\n");
}

// A history that cannot be saved any more (the limit lets only a few bytes
// more be written, as a nearly full disk would): the statistics of positions
// that were not saved are not reported, and a registration leaves no entry.
TEST(HostileFolder, ANearlyFullDiskFailsTheRunsThatCannotSave) {
  TempWorkingDirectory folder;
  const std::string history = HistoryUpTo(600);
  WriteFileBytes("kitebarnum.dat", history);
  const test::FileSizeLimit nearlyFull(history.size() + 5);
  for (const auto& args : {std::vector<std::string>{"hits", "--recent"},
                           std::vector<std::string>{"register", "123"}}) {
    const test::CliResult result = RunCli(args);
    EXPECT_EQ(result.exitCode, 1) << args.front();
    EXPECT_EQ(result.out, "") << args.front();
    EXPECT_NE(result.err.find("kitebarnum.dat"), std::string::npos) << result.err;
  }
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), history);
  EXPECT_FALSE(std::filesystem::exists("Kitebard_100.dat"));
  EXPECT_FALSE(std::filesystem::exists("Kitebard.dat"));
}

TEST(HostileFolder, AWriterWaitsForTheLockThenSaysAnotherKitebarIsWriting) {
  TempWorkingDirectory folder;
  WriteFileBytes("kitebarnum.dat", HistoryUpTo(30));
  const test::CliResult result = [] {
    const test::LockHolder anotherWriter;
    return RunCli({"register", "123"});
  }();
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("ほかの Kitebar"), std::string::npos) << result.err;
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), HistoryUpTo(30));
  EXPECT_EQ(RunCli({"register", "123"}).exitCode, 0);
}

}  // namespace
}  // namespace kitebar
