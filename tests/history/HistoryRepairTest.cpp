// What repair makes of a damaged history: the file's own order decides, no
// number is moved to another draw, and where the file cannot decide nothing
// is written until the user chooses a line.
#include "history/HistoryRepair.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "common/NumberText.h"
#include "history/DrawHistory.h"
#include "support/FolderFixtures.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::DrawLines;
using test::ReadFileBytes;
using test::TempWorkingDirectory;
using test::WriteFileBytes;

int BackupCount() {
  int backups = 0;
  for (const auto& entry : std::filesystem::directory_iterator("."))
    backups += entry.path().extension() == ".bak" ? 1 : 0;
  return backups;
}

std::vector<int> LineNumbers(const std::vector<DroppedHistoryLine>& lines) {
  std::vector<int> numbers;
  for (const DroppedHistoryLine& line : lines)
    numbers.push_back(line.line);
  return numbers;
}

// `text` as an editor saves it as UTF-16: little endian with or without its
// mark, or big endian with it.
std::string Utf16(std::string_view text, bool bigEndian, bool mark) {
  std::string units = mark ? (bigEndian ? "\xFE\xFF" : "\xFF\xFE") : "";
  for (char c : text) {
    units += bigEndian ? '\0' : c;
    units += bigEndian ? c : '\0';
  }
  return units;
}

struct RepairCase {
  const char* name;
  std::string contents;
  std::vector<int> keepLines;
  std::string repaired;  // empty: the file must stay as it is
  int count;
  std::vector<int> dropped;
  std::vector<std::pair<int, int>> missing;
  std::vector<std::vector<int>> choices;
};

class HistoryRepairRun : public testing::TestWithParam<RepairCase> {};

TEST_P(HistoryRepairRun, NeverInventsADrawOrANumber) {
  TempWorkingDirectory folder;
  const RepairCase& c = GetParam();
  WriteFileBytes(kHistoryFileName, c.contents);
  const Result<HistoryRepair> repair =
      RepairHistory(kHistoryFileName, "20260101-000000", c.keepLines);
  ASSERT_TRUE(repair.ok()) << repair.message();
  EXPECT_TRUE(repair->damaged);
  EXPECT_EQ(repair->count, c.count);
  EXPECT_EQ(LineNumbers(repair->dropped), c.dropped);
  EXPECT_EQ(repair->missing, c.missing);
  std::vector<std::vector<int>> choices;
  for (const auto& choice : repair->choices)
    choices.push_back(LineNumbers(choice));
  EXPECT_EQ(choices, c.choices);
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), c.repaired.empty() ? c.contents : c.repaired);
  EXPECT_EQ(BackupCount(), c.repaired.empty() ? 0 : 1);
  // A repaired file is whole, and its count is the one reported.
  DrawHistory reloaded;
  ASSERT_TRUE(reloaded.Load());
  EXPECT_EQ(reloaded.damage().has_value(), c.repaired.empty());
  if (!c.repaired.empty()) {
    EXPECT_EQ(reloaded.count, c.count);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HistoryRepairRun,
    testing::Values(
        // "7880" typed for draw 788: it is the line that breaks the run, and
        // draw 788 is left for the user to enter, not given 7880's number.
        RepairCase{"TypoInADrawNumber",
                   DrawLines(1, 787) + "7880,788\r\n" + DrawLines(789, 800),
                   {},
                   DrawLines(1, 787) + DrawLines(789, 800),
                   800,
                   {788},
                   {{788, 788}},
                   {}},
        RepairCase{"StrayFirstLine",
                   "0005,999\r\n" + DrawLines(1, 10),
                   {},
                   DrawLines(1, 10),
                   10,
                   {1},
                   {},
                   {}},
        RepairCase{"EmptyLineBeforeTheComplete",
                   DrawLines(1, 100) + "0101,\r\n" + DrawLines(101, 105),
                   {},
                   DrawLines(1, 105),
                   105,
                   {101},
                   {},
                   {}},
        RepairCase{"CompleteLineBeforeAPendingOne",
                   DrawLines(1, 4) + "0004,,456,1\r\n",
                   {},
                   DrawLines(1, 4),
                   4,
                   {5},
                   {},
                   {}},
        // A line without a digit is a note: it stays where it stood.
        RepairCase{"TornWriteRepeatsLines",
                   DrawLines(1, 3) + "junk\r\n" + DrawLines(2, 3),
                   {},
                   DrawLines(1, 3) + "junk\r\n",
                   3,
                   {5, 6},
                   {},
                   {}},
        RepairCase{"UnreadableLineLeavesItsDrawMissing",
                   DrawLines(1, 2) +
                       std::string("0003,0\0"
                                   "03\r\n",
                                   11) +
                       DrawLines(4, 5),
                   {},
                   DrawLines(1, 2) + DrawLines(4, 5),
                   5,
                   {3},
                   {{3, 3}},
                   {}},
        RepairCase{"TwoCompleteLinesForOneDraw",
                   DrawLines(1, 4) + "0005,592\r\n0005,999\r\n" + DrawLines(6, 8),
                   {},
                   "",
                   4,
                   {},
                   {},
                   {{5, 6}}},
        RepairCase{"TwoCompleteLinesForOneDrawWithTheSecondKept",
                   DrawLines(1, 4) + "0005,592\r\n0005,999\r\n" + DrawLines(6, 8),
                   {6},
                   DrawLines(1, 4) + "0005,999\r\n" + DrawLines(6, 8),
                   8,
                   {5},
                   {},
                   {}},
        // Notepad's "Unicode": every draw kept, as the text it was.
        RepairCase{"Utf16WithItsMark",
                   Utf16(DrawLines(1, 3), false, true),
                   {},
                   DrawLines(1, 3),
                   3,
                   {},
                   {},
                   {}},
        RepairCase{"Utf16WithoutAMark",
                   Utf16(DrawLines(1, 3), false, false),
                   {},
                   DrawLines(1, 3),
                   3,
                   {},
                   {},
                   {}},
        RepairCase{"Utf16BigEndian",
                   Utf16(DrawLines(1, 3), true, true),
                   {},
                   DrawLines(1, 3),
                   3,
                   {},
                   {},
                   {}},
        RepairCase{"SwappedNeighbours",
                   DrawLines(1, 3) + DrawLines(5, 5) + DrawLines(4, 4) + DrawLines(6, 7),
                   {},
                   "",
                   3,
                   {},
                   {},
                   {{4, 5}}}),
    [](const testing::TestParamInfo<RepairCase>& info) { return info.param.name; });

// Readers name the encoding and what to do, rather than reading no draw.
TEST(HistoryRepairUtf16, ReadersSayTheFileIsUtf16) {
  TempWorkingDirectory folder;
  WriteFileBytes(kHistoryFileName, Utf16(DrawLines(1, 3), false, true));
  DrawHistory history;
  ASSERT_TRUE(history.Load());
  EXPECT_NE(history.CheckWhole().message().find("UTF-16"), std::string::npos);
  EXPECT_NE(history.DamageWarning().find("repair"), std::string::npos);
}

// A line without digits is passed over even with zero bytes in it; the file
// that a save makes of it reads back whole, never as UTF-16 (with or without
// the mark, whatever the parity of its length).
TEST(HistoryRepairUtf16, APassedOverLineWithZeroBytesSavesAndReadsBack) {
  TempWorkingDirectory folder;
  for (const std::string& note : {std::string("d\0\0\0\x80raw,\xFF\n", 11),
                                  std::string("\xFF\xFEnote\0\n", 8), std::string("\0x\n", 3)}) {
    WriteFileBytes(kHistoryFileName, note + DrawLines(1, 2));
    DrawHistory history;
    ASSERT_TRUE(history.Load());
    ASSERT_FALSE(history.damage());
    ASSERT_TRUE(history.Save());
    ASSERT_TRUE(history.Load());
    EXPECT_FALSE(history.damage()) << history.CheckWhole().message();
    EXPECT_EQ(history.count, 2);
  }
  // Digits beside zero bytes are damage, even in a line of draw 0.
  WriteFileBytes(kHistoryFileName, std::string("0\0\00,156\r\n", 10) + DrawLines(1, 2) + "\n");
  DrawHistory history;
  ASSERT_TRUE(history.Load());
  ASSERT_TRUE(history.damage());
  EXPECT_NE(history.CheckWhole().message().find("数字を含む行ですが、NUL 文字"), std::string::npos)
      << history.CheckWhole().message();
  EXPECT_FALSE(history.Save());
}

TEST(HistoryRepairChoice, ALineThatCannotBeKeptIsRefusedAndNothingChanges) {
  TempWorkingDirectory folder;
  const std::string contents =
      DrawLines(1, 4) + "0005,592\r\nnote\r\n0005,999\r\n" + DrawLines(6, 8);
  WriteFileBytes(kHistoryFileName, contents);
  // A note, a line the file does not have, two lines for the same draw.
  for (const std::vector<int>& keep :
       {std::vector<int>{6}, std::vector<int>{99}, std::vector<int>{5, 7}}) {
    const Result<HistoryRepair> repair = RepairHistory(kHistoryFileName, "20260101-000000", keep);
    ASSERT_TRUE(repair.ok()) << repair.message();
    EXPECT_NE(repair->refusedChoice.find(" 行目"), std::string::npos) << keep.front();
  }
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), contents);
  EXPECT_EQ(BackupCount(), 0);
}

}  // namespace
}  // namespace kitebar
