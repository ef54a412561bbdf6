#include "engine/BackTest.h"

#include <gtest/gtest.h>

#include "history/DrawHistory.h"
#include "reports/HitReport.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::ReadFileBytes;
using test::TempWorkingDirectory;
using test::WriteFileBytes;

// The ten candidates of draw 2 after a draw 1 of 123 with default settings.
CandidateTable WorkedExampleCandidates() {
  const char* numbers[] = {"911", "842", "773", "604", "535", "466", "397", "228", "159", "080"};
  CandidateTable table{};
  for (int k = 0; k < kCandidateCount; ++k) {
    table[kHundreds][k] = static_cast<std::uint16_t>(numbers[k][0]);
    table[kTens][k] = static_cast<std::uint16_t>(numbers[k][1]);
    table[kUnits][k] = static_cast<std::uint16_t>(numbers[k][2]);
  }
  return table;
}

TEST(CompareCandidates, ClassifiesStraightBoxAndMini) {
  struct Case {
    const char* winning;
    const char* line;
  };
  for (const Case& c : {Case{"466", "13"}, Case{"664", "20"}, Case{"166", "03"}, Case{"080", "13"},
                        Case{"008", "20"}, Case{"123", "00"}, Case{"xxx", "00"}, Case{"646", "20"},
                        Case{"\x82\x50\x82", "00"}}) {
    const BackTestResult result =
        CompareCandidates(WorkedExampleCandidates(), WinningDigitsOf(c.winning));
    EXPECT_EQ(std::string({result.main, result.mini}), c.line) << c.winning;
  }
}

TEST(BackTestDraw, AppendsOneEntryAndKeepsTheOtherFile) {
  TempWorkingDirectory folder;
  WriteFileBytes(kHistoryFileName, "0001,123\r\n");
  WriteFileBytes(kRecentBackTestFile, "keep\r\n");
  DrawHistory history;
  ASSERT_TRUE(history.Load());
  const Result<BackTestResult> result = BackTestDraw(history, 2, "466", false);
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(ReadFileBytes(kBackTestFile), "2\r\n13\r\n");
  EXPECT_EQ(ReadFileBytes(kRecentBackTestFile), "keep\r\n");
  // The prediction estimated and stored the draw's position.
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), "0001,123\r\n0002,,466,0\r\n");
}

TEST(BackTestDraw, FailedPredictionCountsAsNoCandidates) {
  TempWorkingDirectory folder;
  WriteFileBytes(kHistoryFileName, "0001,123\r\n0002,466,4x6,1\r\n");
  DrawHistory history;
  ASSERT_TRUE(history.Load());
  ASSERT_TRUE(BackTestDraw(history, 2, "466", false).ok());
  EXPECT_EQ(ReadFileBytes(kBackTestFile), "2\r\n00\r\n");
}

TEST(BackTestDraw, UnwritableFileIsReportedNotFatal) {
  TempWorkingDirectory folder;
  WriteFileBytes(kHistoryFileName, "0001,123\r\n");
  std::filesystem::create_directory(kBackTestFile);
  DrawHistory history;
  ASSERT_TRUE(history.Load());
  const Result<BackTestResult> result = BackTestDraw(history, 2, "466", false);
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.message().find("Kitebard.dat"), std::string::npos);
}

TEST(RecentBackTest, ReplaysTheLast500DrawsOldestFirst) {
  TempWorkingDirectory folder;
  std::string contents;
  for (int draw = 1; draw <= 2000; ++draw) {
    char line[16];
    std::snprintf(line, sizeof line, "%04d,%03d\r\n", draw, draw * 37 % 1000);
    contents += line;
  }
  WriteFileBytes(kHistoryFileName, contents);
  WriteFileBytes(kRecentBackTestFile, "old entries\r\n");
  DrawHistory history;
  ASSERT_TRUE(history.Load());
  ASSERT_TRUE(RunRecentBackTest(history));
  const std::string records = ReadFileBytes(kRecentBackTestFile);
  EXPECT_EQ(std::count(records.begin(), records.end(), '\n'), 1000);
  EXPECT_EQ(records.rfind("1501\r\n", 0), 0u);
  EXPECT_NE(records.find("\r\n2000\r\n"), std::string::npos);
  EXPECT_EQ(history.count, 2000);
  EXPECT_EQ(history.record(1501).status, '0');
  EXPECT_FALSE(history.record(1500).hasPosition());
}

TEST(RecentBackTest, ShortHistoryStartsAtDrawTwo) {
  TempWorkingDirectory folder;
  WriteFileBytes(kHistoryFileName, "0001,123\r\n0002,466\r\n0003,799\r\n");
  DrawHistory history;
  ASSERT_TRUE(history.Load());
  ASSERT_TRUE(RunRecentBackTest(history));
  EXPECT_EQ(ReadFileBytes(kRecentBackTestFile).substr(0, 7), "2\r\n13\r\n");
}

}  // namespace
}  // namespace kitebar
