// Lines of the history that a hand or another program left in a form the
// writers never produce, against every command that writes the history; and
// repair end to end, where the file decides and where the user must.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/NumberText.h"
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

// Draws 1 to last as HistoryUpTo writes them, line `line` replaced by `text`.
std::string HistoryWithLine(int last, int line, const std::string& text) {
  std::string history;
  for (int n = 1; n <= last; ++n) {
    history += n == line
                   ? text
                   : FormatZeroPadded(n, 4) + "," + FormatZeroPadded(7 * n % 1000, 3) + "\r\n";
  }
  return history;
}

const std::vector<std::vector<std::string>> kHistoryWriters{
    {"register", "123"},      {"register", "--draw", "3", "456"},
    {"position", "5", "777"}, {"predict"},
    {"analyse", "--auto"},    {"hits", "--recent", "--all"},
    {"load-csv", "more.csv"}};

TEST(HistoryLineForms, EveryWriterReadsTheLineOrRefusesUntouched) {
  TempWorkingDirectory folder;
  struct Form {
    const char* name;
    std::string contents;
    bool readable;
  };
  for (const Form& form : {
           Form{"ByteOrderMark", "\xEF\xBB\xBF" + HistoryUpTo(30), true},
           Form{"ShortDrawNumber", HistoryWithLine(30, 10, "10,070\r\n"), true},
           Form{"NulInTheLine",
                HistoryWithLine(30, 10,
                                std::string("0010,0\0"
                                            "70\r\n",
                                            11)),
                false},
       }) {
    for (const auto& writer : kHistoryWriters) {
      for (const auto& entry : std::filesystem::directory_iterator("."))
        std::filesystem::remove(entry.path());
      WriteFileBytes("kitebarnum.dat", form.contents);
      WriteFileBytes("more.csv", "31,123\n");
      const test::CliResult result = RunCli(writer);
      const std::string what = std::string(form.name) + " " + writer.front();
      if (!form.readable) {
        EXPECT_EQ(result.exitCode, 1) << what;
        EXPECT_NE(result.err.find(" 10 行目「0010,0\\x0070」"), std::string::npos) << result.err;
        EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), form.contents) << what;
        continue;
      }
      EXPECT_EQ(result.exitCode, 0) << what << ": " << result.err;
      const std::string written = ReadFileBytes("kitebarnum.dat");
      EXPECT_EQ(written.substr(0, 10), "0001,007\r\n") << what;
      EXPECT_NE(written.find("\r\n0010,070"), std::string::npos) << what;
    }
  }
}

TEST(HistoryRepairCommand, ATypoIsLeftOutAndItsDrawCanBeEntered) {
  TempWorkingDirectory folder;
  const std::string damaged = HistoryWithLine(800, 788, "7880,516\r\n");
  WriteFileBytes("kitebarnum.dat", damaged);
  const test::CliResult refused = RunCli({"register", "123"});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.err.find(" 788 行目「7880,516」"), std::string::npos) << refused.err;
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), damaged);

  const test::CliResult repaired = RunCli({"repair"});
  ASSERT_EQ(repaired.exitCode, 0) << repaired.err;
  EXPECT_EQ(repaired.out.substr(0, 19), "repaired count 800 ");
  EXPECT_NE(repaired.out.find("\ndropped line 788 draw 7880: 7880,516\n"), std::string::npos);
  EXPECT_NE(repaired.out.find("\nmissing draw 788: kitebar-cli register --draw 788 NNN\n"),
            std::string::npos)
      << repaired.out;
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), HistoryWithLine(800, 788, ""));

  EXPECT_EQ(RunCli({"register", "--draw", "788", "516"}).out, "registered 788 516\n");
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), HistoryWithLine(800, 788, "0788,516\r\n"));
  EXPECT_EQ(RunCli({"register", "123"}).out, "registered 801 123\n");
}

TEST(HistoryRepairCommand, TwoLinesForOneDrawWaitForTheUsersChoice) {
  TempWorkingDirectory folder;
  const std::string damaged = HistoryWithLine(10, 5, "0005,035\r\n0005,999\r\n");
  WriteFileBytes("kitebarnum.dat", damaged);
  const test::CliResult undecided = RunCli({"repair"});
  EXPECT_EQ(undecided.exitCode, 1);
  EXPECT_EQ(undecided.out,
            "candidate line 5 draw 5: 0005,035\ncandidate line 6 draw 5: 0005,999\n");
  EXPECT_NE(undecided.err.find("repair --keep-line 5"), std::string::npos) << undecided.err;
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), damaged);
  for (const auto& entry : std::filesystem::directory_iterator("."))
    EXPECT_NE(entry.path().extension(), ".bak");

  const test::CliResult impossible = RunCli({"repair", "--keep-line", "5", "--keep-line", "6"});
  EXPECT_EQ(impossible.exitCode, 2);
  EXPECT_NE(impossible.err.find("両方を残すことはできません"), std::string::npos) << impossible.err;
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), damaged);

  const test::CliResult chosen = RunCli({"repair", "--keep-line", "6"});
  ASSERT_EQ(chosen.exitCode, 0) << chosen.err;
  EXPECT_NE(chosen.out.find("\ndropped line 5 draw 5: 0005,035\n"), std::string::npos);
  EXPECT_EQ(ReadFileBytes("kitebarnum.dat"), HistoryWithLine(10, 5, "0005,999\r\n"));
}

}  // namespace
}  // namespace kitebar
