#include "reports/HitReport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "common/ShiftJis.h"
#include "support/FolderFixtures.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::ReadFileBytes;
using test::TempWorkingDirectory;
using test::WriteFileBytes;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr char kStraightLine[] = "<B><FONT color=#ff0000>ストレート</font>的中！</B><br>\n";
constexpr char kBoxLine[] = "<B><FONT color=#eedd00>ボックス</font>的中！</B><br>\n";
constexpr char kMiniLine[] = "<B><FONT color=#00eeee>ミニ</font>的中！</B><br>\n";
constexpr char kMissLine[] = "<B> ハズレ </B>\n";

std::string Row(int number, std::string_view body) {
  return "<tr align=\"center\" bgcolor=#f0f0f0>\n<td bgcolor=#006600><b>第" +
         std::to_string(number) + "回</B></td>\n<td bgcolor=#660000>\n" + std::string(body) +
         "</td></tr>\n";
}

TEST(HitReport, TalliesEveryKindOfResult) {
  const HitReport report =
      BuildHitReport("101\r\n13\r\n102\r\n23\r\n103\r\n03\r\n104\r\n00\r\n105\r\n20\r\n", false);
  const HitTallies& t = report.tallies;
  EXPECT_EQ(t.draws, 5);
  EXPECT_EQ(t.wins, 3);  // 13, 23 and 20; a mini alone is no win
  EXPECT_EQ(t.straight, 1);
  EXPECT_EQ(t.box, 2);
  EXPECT_EQ(t.mini, 3);
  EXPECT_EQ(t.lastDrawNumber, 105);
}

TEST(HitReport, RowsShowTheirResultLinesNewestFirst) {
  const HitReport report = BuildHitReport("7\n13\n8\n23\n9\n03\n10\n00\n", false);
  const std::string rows = Row(10, kMissLine) + Row(9, kMiniLine) +
                           Row(8, std::string(kBoxLine) + kMiniLine) + Row(7, kStraightLine);
  EXPECT_THAT(report.page, HasSubstr(rows + "</table><br>\n"));
}

TEST(HitReport, HitsOnlyLeavesOutMissesAndSummaryButUsesUpTheirNumbers) {
  const HitReport report = BuildHitReport("7\n13\n8\n00\n9\n00\n10\n20\n", true);
  EXPECT_THAT(report.page,
              HasSubstr("<td bgcolor=#885500 align=\"center\"><b>成績</b></td></tr>\n" +
                        Row(10, kBoxLine) + Row(7, kStraightLine) + "</table>"));
  EXPECT_THAT(report.page, Not(HasSubstr("総合")));
  EXPECT_THAT(report.page, Not(HasSubstr("ハズレ")));
}

TEST(HitReport, SummaryRateIsTruncatedAndSafeWithoutRecords) {
  const HitReport twoOfThree = BuildHitReport("1\n20\n2\n13\n3\n00\n", false);
  EXPECT_THAT(twoOfThree.page,
              HasSubstr("<tr>\n<td bgcolor=#006600 align=\"center\"><b>総合</b></td>\n"
                        "<td bgcolor=#885500 align=\"left\"><font color=#ffaa00 size=+2><b>3</b>"
                        "</font>戦\n<font color=#00aaff size=+2><b>2</b></font>勝\n"
                        "<font color=#ff3300 size=+2><b>1</b></font>敗　勝率\n"
                        "<font color=#ffaa00 size=+2><b>66％</b></font></td></tr>\n"));
  const HitReport empty = BuildHitReport("", false);
  EXPECT_THAT(empty.page, HasSubstr("<b>0％</b>"));
}

TEST(HitReport, DanglingNumberLineShiftsEveryRowByOne) {
  const HitReport report = BuildHitReport("5\n13\n6\n", true);
  EXPECT_EQ(report.tallies.draws, 1);
  EXPECT_THAT(report.page, HasSubstr(Row(6, kStraightLine)));
}

TEST(HitReport, LongLinesAreReadInPiecesOfSeven) {
  // "12345678901" is read as "1234567" (a number line) and "8901\n" (a result line).
  const HitReport report = BuildHitReport("12345678901\n", false);
  EXPECT_EQ(report.tallies.draws, 1);
  EXPECT_EQ(report.tallies.lastDrawNumber, 1234567);
}

TEST(HitReport, KeepsMoreThanTenThousandRecords) {
  std::string records;
  for (int draw = 1; draw <= 10'050; ++draw)
    records += std::to_string(draw) + "\n13\n";
  const HitReport report = BuildHitReport(records, true);
  EXPECT_EQ(report.tallies.draws, 10'050);
  EXPECT_THAT(report.page, HasSubstr(Row(1, kStraightLine)));
}

class RecordingOpener final : public PageOpener {
 public:
  Status Open(const std::filesystem::path& page) override {
    opened.push_back(page);
    return Status::Ok();
  }
  std::vector<std::filesystem::path> opened;
};

TEST(WriteHitReport, WritesShiftJisWithCrLfAndOpensThePage) {
  TempWorkingDirectory folder;
  WriteFileBytes(kHistoryFileName, test::HistoryUpTo(1846));
  WriteFileBytes(kRecentBackTestFile, "1846\r\n13\r\n");
  RecordingOpener opener;
  const Result<HitTallies> tallies = WriteHitReport(HitReportVariant::kRecent, false, &opener);
  ASSERT_TRUE(tallies.ok()) << tallies.message();
  ASSERT_EQ(opener.opened.size(), 1u);
  EXPECT_EQ(opener.opened[0], kRecentHitReportPage);
  const std::string bytes = ReadFileBytes(kRecentHitReportPage);
  EXPECT_EQ(
      bytes.rfind(*Utf8ToShiftJis("<html><head><title>ナンバーズの予想ソフト</title>\r\n"), 0), 0u);
  std::string expected;
  for (char c : BuildHitReport("1846\n13\n", false).page) {
    if (c == '\n')
      expected += '\r';
    expected += c;
  }
  EXPECT_EQ(*ShiftJisToUtf8(bytes), expected);
}

// An entry stands for the number the history holds for its draw: an entry
// of a draw the history lacks (a registration cut short between its two
// files, an older history put back) is never counted, and of two entries of
// one draw only the last is.
TEST(HeldEntries, OnlyTheLastEntryOfADrawTheHistoryHoldsCounts) {
  TempWorkingDirectory folder;
  WriteFileBytes(kHistoryFileName, test::HistoryUpTo(6000));
  DrawHistory history;
  ASSERT_TRUE(history.Load());
  struct Case {
    std::string records;
    std::string kept;
    std::vector<std::string> notice;
  };
  for (const Case& c : {
           Case{"5999\r\n00\r\n6000\r\n03\r\n", "5999\r\n00\r\n6000\r\n03\r\n", {}},
           Case{"6000\r\n00\r\n6001\r\n13\r\n", "6000\r\n00\r\n", {"1 件（第 6001 回）"}},
           Case{"6000\r\n13\r\n6000\r\n00\r\n", "6000\r\n00\r\n", {"重なっていた 1 件"}},
           Case{"0\r\n13\r\n6000\r\n20\r\n6001\r\n13\r\n",
                "6000\r\n20\r\n",
                {"2 件（第 0 回、第 6001 回）"}},
       }) {
    const HeldEntries held = EntriesOfHeldDraws(c.records, history);
    EXPECT_EQ(held.records, c.kept) << c.records;
    EXPECT_EQ(held.notice.empty(), c.notice.empty()) << held.notice;
    for (const std::string& part : c.notice)
      EXPECT_THAT(held.notice, HasSubstr(part));
  }
}

TEST(WriteHitReport, MissingRecordFileWritesAndOpensNothing) {
  TempWorkingDirectory folder;
  RecordingOpener opener;
  EXPECT_FALSE(WriteHitReport(HitReportVariant::kRunning, true, &opener).ok());
  EXPECT_TRUE(opener.opened.empty());
  EXPECT_FALSE(std::filesystem::exists(kHitReportPage));
}

}  // namespace
}  // namespace kitebar
