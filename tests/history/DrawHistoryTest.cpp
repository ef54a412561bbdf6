#include "history/DrawHistory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::ReadFileBytes;
using test::TempWorkingDirectory;
using test::WriteFileBytes;

DrawHistory LoadFrom(std::string_view contents) {
  WriteFileBytes(kHistoryFileName, contents);
  DrawHistory history;
  EXPECT_TRUE(history.Load());
  return history;
}

TEST(DrawHistoryLoad, MissingFileFailsWithCountZeroAndSlotsKept) {
  TempWorkingDirectory folder;
  DrawHistory history;
  history.count = 5;
  ASSERT_TRUE(history.SetDigits(6, "123"));
  EXPECT_FALSE(history.Load());
  EXPECT_EQ(history.count, 0);
  EXPECT_EQ(history.record(6).digitsText(), "123");
}

TEST(DrawHistoryLoad, FilesWithoutRecordLinesGiveCountZero) {
  TempWorkingDirectory folder;
  for (const char* contents : {"", "header\r\n\r\nabc\r\n", "12345678\n"}) {
    EXPECT_EQ(LoadFrom(contents).count, 0) << contents;
  }
}

TEST(DrawHistoryLoad, ReadsTheThreeLineKinds) {
  TempWorkingDirectory folder;
  const DrawHistory history = LoadFrom("0005,123\r\n0006,,456,1\r\n");
  EXPECT_EQ(history.count, 5);
  EXPECT_EQ(history.record(5).digitsText(), "123");
  EXPECT_FALSE(history.record(5).hasPosition());
  EXPECT_EQ(history.record(6).digitsText(), "xxx");
  EXPECT_EQ(history.record(6).positionText(), "456");
  EXPECT_EQ(history.record(6).status, '1');

  const DrawHistory withPosition = LoadFrom("0007,321,908,0\n");
  EXPECT_EQ(withPosition.count, 7);
  EXPECT_EQ(withPosition.record(7).positionText(), "908");
  EXPECT_EQ(withPosition.record(7).status, '0');
  EXPECT_EQ(withPosition.SaveText(), "0007,321,908,0\r\n");
}

// A draw that does not follow the line before is damage: the load keeps the
// draws before it, and no save may write over the file.
TEST(DrawHistoryLoad, DamageStopsTheLoadAndEverySave) {
  TempWorkingDirectory folder;
  struct Case {
    const char* contents;
    int count;
    int line;
    const char* keptDraw3;
  };
  for (const Case& c : {
           Case{"0003,111\n0009,222\n0004,333\n0003,444\n", 9, 3, "111"},
           Case{"0001,001\n0002,002\n0003,003\n0003,999\r\n", 3, 4, "003"},
           // A torn write: the draws, a junk line, then some of them again.
           Case{"0001,001\n0002,002\n0003,003\njunk\n0002,002\n0003,003\n", 3, 5, "003"},
           // A pending line followed by the same draw, complete.
           Case{"0002,002\n0003,003\n0004,,456,1\n0004,004\n", 3, 4, "003"},
       }) {
    DrawHistory history = LoadFrom(c.contents);
    EXPECT_EQ(history.count, c.count) << c.contents;
    EXPECT_EQ(history.record(3).digitsText(), c.keptDraw3) << c.contents;
    ASSERT_TRUE(history.damage()) << c.contents;
    EXPECT_EQ(history.damage()->line, c.line) << c.contents;
    EXPECT_FALSE(history.Save());
    EXPECT_FALSE(history.SaveCompleteDraws("tmp.dat"));
    EXPECT_NE(history.CheckWhole().message().find(std::to_string(c.line) + " 行目"),
              std::string::npos);
    EXPECT_EQ(ReadFileBytes(kHistoryFileName), c.contents);
    EXPECT_FALSE(std::filesystem::exists("tmp.dat"));
  }
  // Numbers outside 1 to 40000 are not draws: passed over, as before.
  EXPECT_FALSE(LoadFrom("0001,001\n0000,123\n10000,1\n0002,002\n").damage());
}

TEST(DrawHistoryLoad, LongLinesContinueAsFurtherLines) {
  TempWorkingDirectory folder;
  // 127 characters fill the first piece; the rest, "0008,765", is read as a line.
  const std::string longLine = std::string(127, 'a') + "0008,765\r\n";
  EXPECT_EQ(LoadFrom(longLine).record(8).digitsText(), "765");
}

TEST(DrawHistoryLoad, ShortFieldsNeverTakeTheLineEnd) {
  TempWorkingDirectory folder;
  const DrawHistory history = LoadFrom("0001,12\r\n0002,,45\r\n0003,123,45\r\n0004,,456,\r\n");
  EXPECT_EQ(history.record(1).digitsText(), "12");
  EXPECT_FALSE(history.record(2).hasPosition());
  EXPECT_FALSE(history.record(3).hasPosition());
  EXPECT_EQ(history.record(4).positionText(), "456");
  EXPECT_EQ(history.record(4).status, '\0');
  EXPECT_EQ(history.SaveText(), "0001,12\r\n0002,\r\n0003,123\r\n0004,,456,\r\n");
}

TEST(DrawHistorySave, RoundTripsPendingAndPositionedRecords) {
  TempWorkingDirectory folder;
  const std::string contents = "0001,123\r\n0002,456,012,1\r\n0003,,789,0\r\n";
  DrawHistory history = LoadFrom(contents);
  ASSERT_TRUE(history.Save());
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), contents);
  ASSERT_TRUE(history.SaveCompleteDraws("tmp.dat"));
  EXPECT_EQ(ReadFileBytes("tmp.dat"), "0001,123\r\n0002,456,012,1\r\n");
}

TEST(DrawHistorySave, SlotWithoutNumberIsNeverWritten) {
  TempWorkingDirectory folder;
  DrawHistory history = LoadFrom("0001,123\r\n0003,456\r\n");
  history.record(2).digits = {'9', '9', '9'};
  EXPECT_EQ(history.SaveText(), "0001,123\r\n0003,456\r\n");
}

TEST(DrawHistorySave, FailedWriteLeavesTheOldFileByteIdentical) {
  TempWorkingDirectory folder;
  const std::string contents = "0001,123\r\n0002,456\r\n";
  DrawHistory history = LoadFrom(contents);
  ASSERT_TRUE(history.SetDigits(3, "789"));
  history.count = 3;
  std::filesystem::permissions(kHistoryFileName, std::filesystem::perms::owner_read);
  EXPECT_FALSE(history.Save());
  EXPECT_FALSE(history.SaveCompleteDraws("tmp.dat.tmp/x"));
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), contents);
}

TEST(DrawHistoryChange, SetDigitsAndSetPositionKeepTheOtherFields) {
  TempWorkingDirectory folder;
  DrawHistory history = LoadFrom("0001,123\r\n0002,,456,1\r\n");
  ASSERT_TRUE(history.SetDigits(2, "987"));
  EXPECT_EQ(history.record(2).positionText(), "456");
  EXPECT_EQ(history.record(2).status, '1');
  EXPECT_EQ(history.count, 1);
  ASSERT_TRUE(history.SetPosition(1, "321", '0'));
  EXPECT_EQ(history.record(1).digitsText(), "123");
  EXPECT_FALSE(history.SetDigits(3, "111"));
  EXPECT_FALSE(history.SetPosition(0, "111", '1'));
}

TEST(DrawHistoryChange, PositionForTheNextDrawMakesThePendingRecord) {
  TempWorkingDirectory folder;
  DrawHistory history = LoadFrom("0001,123\r\n");
  ASSERT_TRUE(history.SetPosition(2, "456", '1'));
  EXPECT_EQ(history.SaveText(), "0001,123\r\n0002,,456,1\r\n");
}

TEST(DrawHistoryChange, AppendImportedDrawAdvancesAndKeepsThePendingPosition) {
  TempWorkingDirectory folder;
  DrawHistory history = LoadFrom("0001,123\r\n0002,,456,1\r\n");
  ASSERT_TRUE(history.AppendImportedDraw("777"));
  EXPECT_EQ(history.count, 2);
  EXPECT_EQ(history.SaveText(), "0001,123\r\n0002,777,456,1\r\n");
}

TEST(DrawHistoryChange, DrawsBeyond9999AreRefused) {
  TempWorkingDirectory folder;
  DrawHistory history = LoadFrom("9999,123\r\n");
  EXPECT_FALSE(history.AppendImportedDraw("777"));
  EXPECT_FALSE(history.SetDigits(10000, "777"));
  EXPECT_FALSE(history.SetPosition(10000, "777", '1'));
  EXPECT_EQ(history.count, 9999);
  EXPECT_FALSE(history.record(10000).exists());
}

TEST(ThreeDigitEntryRule, PadsAndChecksBytes) {
  struct Case {
    std::string entry;
    std::string padded;
    bool valid;
  };
  for (const Case& c : {Case{"7", "007", true}, Case{"", "000", true}, Case{"1a", "01a", false},
                        Case{"12", "012", true}, Case{"999", "999", true},
                        Case{"\x82\x50", "0\x82\x50", false}, Case{"1234", "1234", false}}) {
    const ThreeDigitEntry result = ApplyThreeDigitEntryRule(c.entry);
    EXPECT_EQ(result.padded, c.padded) << c.entry;
    EXPECT_EQ(result.valid, c.valid) << c.entry;
  }
}

}  // namespace
}  // namespace kitebar
