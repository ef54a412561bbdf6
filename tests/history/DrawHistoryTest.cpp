#include "history/DrawHistory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/NumberText.h"
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
           // Draw 9 or draw 4 after draw 3: the file cannot tell which is right.
           Case{"0003,111\n0009,222\n0004,333\n0003,444\n", 3, 2, "111"},
           Case{"0001,001\n0002,002\n0003,003\n0003,999\r\n", 2, 3, ""},
           // A torn write: the draws, a junk line, then some of them again.
           Case{"0001,001\n0002,002\n0003,003\njunk\n0002,002\n0003,003\n", 3, 5, "003"},
           // A pending line followed by the same draw, complete: the pending
           // line is the one out of place.
           Case{"0002,002\n0003,003\n0004,,456,1\n0004,004\n", 3, 3, "003"},
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
  // Draw 0 holds no draw: passed over, as before.
  EXPECT_FALSE(LoadFrom("0001,001\n0000,123\n0002,002\n").damage());
}

// A line that holds a draw is read as the draw it names, or the file is
// damaged at that line: none is passed over, to be dropped by the next save.
TEST(DrawHistoryLoad, EveryLineHoldingADrawIsReadOrIsDamage) {
  TempWorkingDirectory folder;
  struct Case {
    const char* name;
    std::string contents;
    int count;
    int damageLine;     // 0: whole
    std::string saved;  // what a save writes, when whole
  };
  std::string typo;
  for (int n = 1; n <= 800; ++n)
    typo += (n == 788 ? std::string("7880") : FormatZeroPadded(n, 4)) + ",123\r\n";
  for (const Case& c : {
           Case{"ByteOrderMark",
                "\xEF\xBB\xBF"
                "0001,123\r\n0002,456\r\n",
                2, 0, "0001,123\r\n0002,456\r\n"},
           // Lines without a digit stay where they were; the mark is not kept.
           Case{"ByteOrderMarkBeforeAHeader", "\xEF\xBB\xBFno.,digits\r\n0001,123\r\n\r\n", 1, 0,
                "no.,digits\r\n0001,123\r\n\r\n"},
           Case{"ShortAndPaddedNumbers", "0099,001\r\n100,191\r\n  101,002\n+102,003\n", 102, 0,
                "0099,001\r\n0100,191\r\n0101,002\r\n0102,003\r\n"},
           Case{"LongNumber", "00001,123\r\n", 1, 0, "0001,123\r\n"},
           Case{"ShortNumberWithPositionAndBlanks", "1,123,456,1 \r\n2,,789,0\r\n", 1, 0,
                "0001,123,456,1\r\n0002,,789,0\r\n"},
           // Columns counted from a short number would misread the rest.
           Case{"ShortNumberBeforeAnotherForm", "0001,123\r\n2,1994-10-07,191\r\n", 1, 2, ""},
           Case{"NulLineWithoutADraw", std::string("0001,123\r\n\0\0garbage\r\n0002,002\r\n", 31),
                2, 0, std::string("0001,123\r\n\0\0garbage\r\n0002,002\r\n", 31)},
           Case{"NulInTheNumber",
                std::string("0001,123\r\n01\0"
                            "00,191\r\n0102,001\r\n",
                            31),
                1, 2, ""},
           Case{"NulAfterTheDigits",
                std::string("0001,123\r\n0002,12\0"
                            "3\r\n",
                            21),
                1, 2, ""},
           Case{"DrawAfter9999", "0001,123\r\n10000,001\r\n", 1, 2, ""},
           Case{"LettersInTheNumber", "0001,123\r\n02ab,456\r\n0003,001\r\n", 1, 2, ""},
           // The winning number is three ASCII digits, read as they stand.
           Case{"FourDigitNumber", "0030,123\r\n0031,1234\r\n", 30, 2, ""},
           Case{"TwoDigitNumber", "0030,123\r\n0031,12\r\n", 30, 2, ""},
           Case{"FullWidthNumber", "0030,123\r\n0031,\xEF\xBC\x91\xEF\xBC\x92\xEF\xBC\x93\r\n", 30,
                2, ""},
           Case{"MarkBeforeTheNumber",
                "0030,123\r\n0031,\xEF\xBB\xBF"
                "123\r\n",
                30, 2, ""},
           Case{"BlankBeforeTheNumber", "0030,123\r\n0031, 123\r\n", 30, 2, ""},
           // A line with a digit that is no draw line is damage, not a note.
           Case{"LetterOForZero", "0030,123\r\nO031,123\r\n", 30, 2, ""},
           Case{"LetterLForOne", "0030,123\r\n3l,123\r\n", 30, 2, ""},
           Case{"BlankBeforeTheComma", "0030,123\r\n0031 ,123\r\n", 30, 2, ""},
           Case{"NegativeDraw", "0030,123\r\n-031,123\r\n", 30, 2, ""},
           Case{"FullWidthDrawNumber", "0030,123\r\n\xEF\xBC\x93\xEF\xBC\x91,123\r\n", 30, 2, ""},
           // Lines counted as an editor counts them: a bare CR ends one.
           Case{"LineNumbersAfterBareCarriageReturns", "0001,001\r0002,002\r\n\n0001,009\n", 2, 4,
                ""},
           // The line that breaks the run is named, not its neighbour.
           Case{"TypoInADrawNumber", typo, 787, 788, ""},
       }) {
    const DrawHistory history = LoadFrom(c.contents);
    EXPECT_EQ(history.count, c.count) << c.name;
    EXPECT_EQ(history.damage() ? history.damage()->line : 0, c.damageLine) << c.name;
    if (c.damageLine == 0) {
      EXPECT_EQ(history.SaveText(), c.saved) << c.name;
      continue;
    }
    EXPECT_NE(history.CheckWhole().message().find(" " + std::to_string(c.damageLine) + " 行目「"),
              std::string::npos)
        << c.name << ": " << history.CheckWhole().message();
    EXPECT_NE(history.DamageWarning().find(" " + std::to_string(c.damageLine) + " 行目「"),
              std::string::npos)
        << c.name;
  }
}

TEST(DrawHistoryLoad, LongLinesContinueAsFurtherLines) {
  TempWorkingDirectory folder;
  // 127 characters fill the first piece; the rest, "0008,765", is read as a line.
  const std::string longLine = std::string(127, 'a') + "0008,765\r\n";
  EXPECT_EQ(LoadFrom(longLine).record(8).digitsText(), "765");
}

TEST(DrawHistoryLoad, ShortFieldsNeverTakeTheLineEnd) {
  TempWorkingDirectory folder;
  const DrawHistory history = LoadFrom("0001,123\r\n0002,,45\r\n0003,123,45\r\n0004,,456,\r\n");
  EXPECT_EQ(history.record(1).digitsText(), "123");
  EXPECT_FALSE(history.record(2).hasPosition());
  EXPECT_FALSE(history.record(3).hasPosition());
  EXPECT_EQ(history.record(4).positionText(), "456");
  EXPECT_EQ(history.record(4).status, '\0');
  EXPECT_EQ(history.SaveText(), "0001,123\r\n0002,\r\n0003,123\r\n0004,,456,\r\n");
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

// A draw that the file lacks (left out by repair) can be entered by
// correction: its line comes back in its place, not only in memory.
TEST(DrawHistoryChange, ADrawMissingFromTheFileGetsItsLineBack) {
  TempWorkingDirectory folder;
  DrawHistory history = LoadFrom("0001,123\r\n0003,456\r\n0004,789\r\n");
  ASSERT_TRUE(history.SetDigits(2, "555"));
  ASSERT_TRUE(history.SetPosition(3, "111", '1'));
  EXPECT_EQ(history.SaveText(), "0001,123\r\n0002,555\r\n0003,456,111,1\r\n0004,789\r\n");
  DrawHistory other = LoadFrom("0001,123\r\n0003,456\r\n");
  ASSERT_TRUE(other.SetPosition(2, "222", '1'));
  EXPECT_EQ(other.SaveText(), "0001,123\r\n0002,,222,1\r\n0003,456\r\n");
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
