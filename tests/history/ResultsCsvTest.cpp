#include "history/ResultsCsv.h"

#include <gtest/gtest.h>

#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::TempWorkingDirectory;
using test::WriteFileBytes;

TEST(ResultsCsv, AddsDrawsInBothLayoutsAfterAHeader) {
  DrawHistory history;
  const Result<int> added =
      MergeResultsCsv(history, "draw,date,number\r\n1,1994-10-07,191\r\n2,988\r\n\r\n");
  ASSERT_TRUE(added.ok()) << added.message();
  EXPECT_EQ(*added, 2);
  EXPECT_EQ(history.count, 2);
  EXPECT_EQ(history.SaveText(), "0001,191\r\n0002,988\r\n");
}

TEST(ResultsCsv, KeepsPositionsAndThePendingRecord) {
  TempWorkingDirectory folder;
  WriteFileBytes(kHistoryFileName, "0001,191,123,0\r\n0002,,456,1\r\n");
  DrawHistory history;
  ASSERT_TRUE(history.Load());
  ASSERT_TRUE(MergeResultsCsv(history, "1,191\n2,988\n").ok());
  EXPECT_EQ(history.SaveText(), "0001,191,123,0\r\n0002,988,456,1\r\n");
}

TEST(ResultsCsv, BadInputIsReportedAndChangesNothing) {
  struct Case {
    const char* csv;
    const char* messagePart;
  };
  for (const Case& c : {
           Case{"1,191\n2,98\n", "2 行目"},
           Case{"1,191\nx2,988\n", "2 行目"},
           Case{"1,191\n1,191\n", "重複"},
           Case{"1,191\n3,988\n", "第 2 回が抜けています"},
           Case{"1,191\n2,1994-10-07,98a\n", "2 行目"},
           Case{"1;191\n", "1 行目"},
           Case{"2,191\n", "第 1 回"},
       }) {
    DrawHistory history;
    const Result<int> added = MergeResultsCsv(history, c.csv);
    EXPECT_FALSE(added.ok()) << c.csv;
    EXPECT_NE(added.message().find(c.messagePart), std::string::npos) << added.message();
    EXPECT_EQ(history.count, 0);
    EXPECT_FALSE(history.record(1).exists());
  }
}

TEST(ResultsCsv, MismatchWithTheHistoryNamesTheDraw) {
  DrawHistory history;
  ASSERT_TRUE(MergeResultsCsv(history, "1,191\n2,988\n").ok());
  const Result<int> added = MergeResultsCsv(history, "1,191\n2,989\n3,111\n");
  ASSERT_FALSE(added.ok());
  EXPECT_NE(added.message().find("第 2 回"), std::string::npos);
  EXPECT_EQ(history.count, 2);
}

}  // namespace
}  // namespace kitebar
