#include "history/ResultsCsv.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

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
           Case{"1,191\n1,192\n", "重複"},
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

// The bytes of `text` (ASCII and Japanese in UTF-8) as UTF-16 with its mark.
std::string Utf16(std::u16string_view text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

// The same draws as a spreadsheet or an editor saves them in each encoding.
TEST(ResultsCsv, ReadsTheEncodingsThatSpreadsheetsSave) {
  struct Case {
    const char* name;
    std::string csv;
  };
  const std::u16string japanese = u"回,抽せん日,当せん番号\r\n1,1994-10-07,191\r\n2,988\r\n";
  for (const Case& c : {
           Case{"Utf8", "回,日付,番号\r\n1,1994-10-07,191\r\n2,988\r\n"},
           Case{"Utf8WithMark",
                "\xEF\xBB\xBF"
                "1,1994-10-07,191\r\n2,988\r\n"},
           Case{"Utf8WithMarkAndHeader", "\xEF\xBB\xBF回,日付,番号\n1,1994-10-07,191\n2,988\n"},
           Case{"Utf16LittleEndian", Utf16(japanese, false)},
           Case{"Utf16BigEndian", Utf16(japanese, true)},
           Case{"Utf16WithASurrogatePair", Utf16(u"\U0001F600\r\n1,191\r\n2,988\r\n", false)},
           Case{"ShiftJis", "\x89\xF1,\x93\xFA\x95\x74\r\n1,1994-10-07,191\r\n2,988\r\n"},
       }) {
    DrawHistory history;
    const Result<int> added = MergeResultsCsv(history, c.csv);
    ASSERT_TRUE(added.ok()) << c.name << ": " << added.message();
    EXPECT_EQ(history.SaveText(), "0001,191\r\n0002,988\r\n") << c.name;
  }
}

// Bytes that no encoding explains are refused by their encoding, not blamed
// on a column of the first line.
TEST(ResultsCsv, AnUnreadableEncodingIsNamedAndChangesNothing) {
  struct Case {
    const char* name;
    std::string csv;
    const char* messagePart;
  };
  for (const Case& c : {
           Case{"Utf16OddLength", Utf16(u"1,191\r\n", false) + "x", "UTF-16（リトルエンディアン）"},
           Case{"Utf16LoneSurrogate", Utf16(u"1,191\xD800\r\n", true),
                "UTF-16（ビッグエンディアン）"},
           Case{"Utf16WithoutMark",
                std::string("1\0,\0"
                            "1\0"
                            "9\0"
                            "1\0",
                            10),
                "NUL"},
           Case{"Utf8MarkThenOtherBytes", "\xEF\xBB\xBF\x89\xF1\n1,191\n", "UTF-8 の印"},
           Case{"NeitherUtf8NorShiftJis", "\xFD\xFE\n1,191\n", "UTF-8 でも Shift_JIS でも"},
       }) {
    DrawHistory history;
    const Result<int> added = MergeResultsCsv(history, c.csv);
    ASSERT_FALSE(added.ok()) << c.name;
    EXPECT_NE(added.message().find(c.messagePart), std::string::npos) << added.message();
    EXPECT_EQ(added.message().find("行目"), std::string::npos) << added.message();
    EXPECT_EQ(history.count, 0) << c.name;
  }
}

}  // namespace
}  // namespace kitebar
