#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/NumberText.h"
#include "common/ShiftJis.h"
#include "history/ResultsCsv.h"
#include "support/CaseNames.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::ReadFileBytes;
using test::TempWorkingDirectory;
using test::WriteFileBytes;

// Eight real-looking draws, three of them with leading zeros.
struct Draw {
  int number;
  const char* digits;
  int year, month, day;
};
constexpr Draw kDraws[] = {{1, "191", 1994, 10, 7},  {2, "988", 1994, 10, 14},
                           {3, "005", 1994, 10, 21}, {4, "019", 1994, 10, 28},
                           {5, "360", 1994, 11, 4},  {6, "072", 1994, 11, 11},
                           {7, "410", 1994, 11, 18}, {8, "647", 1994, 11, 25}};
constexpr char kStored[] =
    "0001,191\r\n0002,988\r\n0003,005\r\n0004,019\r\n0005,360\r\n0006,072\r\n0007,410\r\n"
    "0008,647\r\n";

// One line per draw, in the file's order (newest first with `reversed`).
std::string Lines(std::string header, const std::function<std::string(const Draw&)>& line,
                  bool reversed = false) {
  std::string text = std::move(header);
  std::vector<Draw> draws(std::begin(kDraws), std::end(kDraws));
  if (reversed)
    std::reverse(draws.begin(), draws.end());
  for (const Draw& draw : draws)
    text += line(draw);
  return text;
}

std::string Digit(const Draw& draw, int i) {
  return std::string(1, draw.digits[i]);
}

// What a spreadsheet leaves of a number: no leading zeros.
std::string Unpadded(const Draw& draw) {
  return FormatInt(ParseIntLikeAtoi(draw.digits));
}

std::string Iso(const Draw& d) {
  return FormatInt(d.year) + "-" + FormatZeroPadded(d.month, 2) + "-" + FormatZeroPadded(d.day, 2);
}

std::string Japanese(const Draw& d) {
  return FormatInt(d.year) + "年" + FormatInt(d.month) + "月" + FormatInt(d.day) + "日";
}

// Digits as a Japanese input method types them.
std::string FullWidth(const std::string& digits) {
  std::string wide;
  for (const char c : digits)
    wide += std::string("\xEF\xBC") + static_cast<char>(0x90 + (c - '0'));
  return wide;
}

struct Layout {
  const char* name;
  std::string csv;
  int padded;
};

std::vector<Layout> Layouts() {
  const auto n = [](const Draw& d) { return FormatInt(d.number); };
  return {
      {"Japanese header, bracketed digits, prize columns",
       Lines("抽せん日,本数字,回別,ストレート,ボックス,セット\n",
             [&](const Draw& d) {
               return Iso(d) + ",\"[" + Digit(d, 0) + ", " + Digit(d, 1) + ", " + Digit(d, 2) +
                      "]\",第" + n(d) + "回,61300.0,,10200.0\n";
             }),
       0},
      {"Unnamed index, newest first, Japanese dates",
       Lines(
           ",回別,抽せん日,当せん番号\n",
           [&](const Draw& d) {
             return FormatInt(8 - d.number) + ",第" + n(d) + "回," + Japanese(d) + "," + d.digits +
                    "\n";
           },
           true),
       0},
      {"English header, unpadded dates, a dozen prize columns",
       Lines("draw_date,draw_number,winning_number,s_count,s_prize,b_count,b_prize,ss_count,"
             "ss_prize,sb_count,sb_prize,m_count,m_prize\n",
             [&](const Draw& d) {
               return FormatInt(d.year) + "/" + FormatInt(d.month) + "/" + FormatInt(d.day) + "," +
                      n(d) + "," + d.digits + ",12,90000,85,15000,3,52300,40,7500,110,9000\n";
             }),
       0},
      {"Resaved by a spreadsheet: CR LF, zeros lost, dates rewritten",
       Lines("回別,抽せん日,本数字\r\n",
             [&](const Draw& d) {
               return "第" + n(d) + "回," + FormatInt(d.year) + "/" + FormatZeroPadded(d.month, 2) +
                      "/" + FormatZeroPadded(d.day, 2) + "," + Unpadded(d) + "\r\n";
             }),
       3},
      {"Own layout resaved with its header",
       Lines("draw,date,number\r\n",
             [&](const Draw& d) {
               return n(d) + "," + FormatInt(d.year) + "/" + FormatInt(d.month) + "/" +
                      FormatInt(d.day) + "," + Unpadded(d) + "\r\n";
             }),
       3},
      {"Pasted with tabs, weekdays, a header line",
       Lines("回\t抽せん日\t当せん番号\n",
             [&](const Draw& d) {
               return "第" + n(d) + "回\t" + Japanese(d) + "(金)\t" + d.digits + "\n";
             }),
       0},
      {"Pasted with spaces, no header, rows in any order",
       Lines(
           "",
           [&](const Draw& d) {
             return "第" + n(d) + "回  " + Japanese(d) + "（金）  " + d.digits + "\n";
           },
           true),
       0},
      {"Digits apart in a quoted cell, no header",
       Lines("",
             [&](const Draw& d) {
               return "第" + n(d) + "回,\"" + Digit(d, 0) + " " + Digit(d, 1) + " " + Digit(d, 2) +
                      "\"\n";
             }),
       0},
      {"Own layout with full-width draw numbers",
       Lines("",
             [&](const Draw& d) { return FullWidth(n(d)) + "," + Iso(d) + "," + d.digits + "\n"; }),
       0},
  };
}

class CsvLayouts : public testing::TestWithParam<Layout> {};

// Each layout, as written and also in the encodings that spreadsheets save.
TEST_P(CsvLayouts, BringInTheSameDraws) {
  const Layout& layout = GetParam();
  const Result<std::string> shiftJis = Utf8ToShiftJis(layout.csv);
  ASSERT_TRUE(shiftJis.ok()) << shiftJis.message();
  for (const std::string& csv : {layout.csv, "\xEF\xBB\xBF" + layout.csv, *shiftJis}) {
    DrawHistory history("unused.dat");
    const Result<CsvImportPlan> plan = PlanResultsCsv(history, csv);
    ASSERT_TRUE(plan.ok()) << plan.message();
    EXPECT_EQ(plan->summary.padded, layout.padded);
    EXPECT_EQ(plan->summary.draws, 8);
    ASSERT_EQ(MergeResultsCsv(history, csv).value(), 8);
    EXPECT_EQ(history.SaveText(), kStored);
  }
}

INSTANTIATE_TEST_SUITE_P(, CsvLayouts, testing::ValuesIn(Layouts()),
                         [](const testing::TestParamInfo<Layout>& info) {
                           return test::CaseName(info.param.name, info.index);
                         });

TEST(CsvImport, RowsOfOneDrawThatAgreeAreOneDraw) {
  DrawHistory history("unused.dat");
  const Result<CsvImportPlan> plan =
      PlanResultsCsv(history, "第2回,988\n第1回,191\n第2回,988\n第1回,191\n");
  ASSERT_TRUE(plan.ok()) << plan.message();
  EXPECT_EQ(plan->summary.draws, 2);
  EXPECT_EQ(plan->newDraws.size(), 2u);
}

// Utf16 of an ASCII text, little endian, after a big-endian mark.
std::string Utf16AfterTheWrongMark(std::string_view text) {
  std::string bytes = "\xFE\xFF";
  for (const char c : text)
    bytes += std::string{c, '\0'};
  return bytes;
}

std::string ManyDisagreeing() {
  std::string csv;
  for (int draw = 1; draw <= 12; ++draw)
    csv += FormatInt(draw) + ",999\n";
  return csv;
}

struct Refusal {
  const char* name;
  std::string csv;
  std::vector<const char*> said;
};

// Every refusal names what is wrong, and the history stays as it was: draws
// 1 and 2 (191, 988).
std::vector<Refusal> Refusals() {
  return {
      {"Columns cannot be told apart",
       "第1回,123,456\n第2回,234,567\n",
       {"どの列が当せん番号か", "2 列目（3 桁の数字）", "3 列目（3 桁の数字）", "1 行目から"}},
      {"No draw column", "1994-10-07,191\n", {"どの列が回か", "1 列目（日付）"}},
      {"A header naming two number columns",
       "回,本数字,当せん番号\n第3回,1,2\n",
       {"「本数字」と「当せん番号」"}},
      {"Four digits", "回別,本数字\n第3回,1234\n", {"2 行目", "4 桁以上"}},
      {"Not a date",
       "回別,抽せん日,本数字\n第3回,2021-02-30,123\n",
       {"2 行目", "「2021-02-30」が日付として読めません"}},
      {"Era date", "回別,抽せん日,本数字\n第3回,H6.10.7,123\n", {"「H6.10.7」"}},
      {"Rows of one draw disagree",
       "3,111\n4,222\n3,112\n",
       {"第 3 回が重複", "1 行目: 111", "3 行目: 112"}},
      {"Dates of one draw disagree", "3,1994-10-21,111\n3,1994-10-22,111\n", {"第 3 回が重複"}},
      {"Dates against the draws",
       "3,1994-10-28,111\n4,1994-10-21,222\n",
       {"第 4 回（2 行目）の日付 1994-10-21", "より後ではありません"}},
      {"Disagrees with the history",
       ManyDisagreeing(),
       {"第 1 回（履歴 191、1 行目 999）", "第 2 回（履歴 988、2 行目 999）"}},
      {"A gap after the history",
       "5,111\n7,222\n8,333\n",
       {"第 3 回〜第 4 回、第 6 回が抜けています", "第 2 回まで"}},
      {"Digits but no draw", "回,番号 2024\n", {"1 行目", "数字はありますが"}},
      {"A draw after 9999", "3,111\n10000,222\n", {"第 9999 回より後"}},
      {"Mixed encodings",
       "回別,本数字\n\x91\xE6 3\x89\xF1,123\n第4回,456\n",
       {"混ざっています", "1 行目は UTF-8、2 行目は UTF-8 ではありません"}},
      {"Binary", std::string("3,111\n\x01\x02\x03,4\n"), {"制御文字"}},
      {"Mark and body disagree", Utf16AfterTheWrongMark("3,111\r\n"), {"印と中身が合いません"}},
  };
}

class CsvRefusals : public testing::TestWithParam<Refusal> {};

TEST_P(CsvRefusals, SayWhyAndChangeNothing) {
  const Refusal& refusal = GetParam();
  TempWorkingDirectory folder;
  const std::string held = "0001,191\r\n0002,988\r\n";
  WriteFileBytes(kHistoryFileName, held);
  DrawHistory history;
  const Result<CsvImportSummary> preview = PreviewResultsCsv(history, refusal.csv);
  const Result<CsvImportSummary> stored = ImportResultsCsv(history, refusal.csv);
  ASSERT_FALSE(stored.ok());
  EXPECT_EQ(preview.message(), stored.message());
  for (const char* part : refusal.said)
    EXPECT_NE(stored.message().find(part), std::string::npos) << stored.message();
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), held);
}

INSTANTIATE_TEST_SUITE_P(, CsvRefusals, testing::ValuesIn(Refusals()),
                         [](const testing::TestParamInfo<Refusal>& info) {
                           return test::CaseName(info.param.name, info.index);
                         });

TEST(CsvImport, PreviewStoresNothingAndTheStoreTellsTheSame) {
  TempWorkingDirectory folder;
  WriteFileBytes(kHistoryFileName, "0001,191\r\n0002,988\r\n");
  const std::string csv = "回別,本数字\n第4回,19\n第3回,5\n第2回,988\n";
  DrawHistory history;
  const Result<CsvImportSummary> preview = PreviewResultsCsv(history, csv);
  ASSERT_TRUE(preview.ok()) << preview.message();
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), "0001,191\r\n0002,988\r\n");
  EXPECT_EQ(DescribeCsvImport(*preview),
            "読み取った回: 3 回分（第 2 回〜第 4 回）\n履歴にある回: 1 回分（すべて履歴と一致）\n"
            "新しい回: 2 回分（第 3 回〜第 4 回）\n0 を補った当選番号: 2 個");
  const Result<CsvImportSummary> stored = ImportResultsCsv(history, csv);
  ASSERT_TRUE(stored.ok()) << stored.message();
  EXPECT_EQ(DescribeCsvImport(*stored), DescribeCsvImport(*preview));
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), "0001,191\r\n0002,988\r\n0003,005\r\n0004,019\r\n");
}

TEST(CsvImport, ADamagedHistoryIsNamedAndKept) {
  TempWorkingDirectory folder;
  const std::string damaged = "0001,191\r\n0003,123\r\n0002,988\r\n";
  WriteFileBytes(kHistoryFileName, damaged);
  DrawHistory history;
  const Result<CsvImportSummary> preview = PreviewResultsCsv(history, "4,111\n");
  ASSERT_FALSE(preview.ok());
  EXPECT_NE(preview.message().find("3 行目"), std::string::npos) << preview.message();
  EXPECT_FALSE(ImportResultsCsv(history, "4,111\n").ok());
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), damaged);
}

}  // namespace
}  // namespace kitebar
