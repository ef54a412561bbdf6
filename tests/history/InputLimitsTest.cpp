// The history file, the CSV, the HTTP response and the result pages at and
// beyond their limits: overlong lines, files of megabytes, binary bytes,
// bare CRs, the last four-digit draw, a 10 MB response and patterns cut off
// at the very end of a page.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "HttpTestServer.h"
#include "common/FileLimits.h"
#include "common/NumberText.h"
#include "engine/PositionAnalysis.h"
#include "engine/PredictionRun.h"
#include "engine/Registration.h"
#include "history/DrawHistory.h"
#include "history/HttpFetcher.h"
#include "history/IndexPage.h"
#include "history/PageText.h"
#include "history/ResultPage.h"
#include "history/ResultsCsv.h"
#include "reports/HitReport.h"
#include "support/FolderFixtures.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::DrawLines;
using test::ReadFileBytes;
using test::TempWorkingDirectory;
using test::WriteFileBytes;

struct HistoryCase {
  const char* name;
  std::string contents;
  int count;
  // Draws that must hold their winning number n mod 1000 after the load.
  std::vector<int> draws;
};

class HistoryFileLimits : public testing::TestWithParam<HistoryCase> {};

TEST_P(HistoryFileLimits, LoadsWhatTheFileHoldsAndSavesItBack) {
  TempWorkingDirectory folder;
  const HistoryCase& c = GetParam();
  WriteFileBytes(kHistoryFileName, c.contents);
  DrawHistory history;
  ASSERT_TRUE(history.Load());
  EXPECT_EQ(history.count, c.count) << history.DamageWarning();
  for (int n : c.draws)
    EXPECT_EQ(history.record(n).digitsText(), FormatZeroPadded(n % 1000, 3)) << n;
  // What is saved loads back to the same count and draws.
  ASSERT_TRUE(history.Save());
  DrawHistory reloaded;
  ASSERT_TRUE(reloaded.Load());
  EXPECT_EQ(reloaded.count, c.count);
  EXPECT_EQ(reloaded.SaveText(), history.SaveText());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HistoryFileLimits,
    testing::Values(
        HistoryCase{"LineOf100000Characters",
                    DrawLines(1, 2) + std::string(100000, 'x') + "\r\n" + DrawLines(3, 4),
                    4,
                    {1, 2, 3, 4}},
        // Lines of digits and commas only, in pieces of 127 characters: none
        // of them is taken for a record. The file is as large as a history
        // file may be.
        HistoryCase{"CommasUpToTheSizeLimitBeforeTheDraws",
                    std::string(kMaxHistoryFileBytes - 2 - DrawLines(1, 3).size(), ',') + "\r\n" +
                        DrawLines(1, 3),
                    3,
                    {1, 2, 3}},
        HistoryCase{"EveryFourDigitDraw", DrawLines(1, 9999), 9999, {1, 5000, 9999}},
        // Lines that hold no draw; a NUL inside a draw's line is damage
        // (DrawHistoryTest.cpp).
        HistoryCase{"NulsAndBinaryBytesBetweenTheDraws",
                    DrawLines(1, 1) + std::string("\0\xff\xfe\x80,\x01\r\n", 8) +
                        std::string("\0\0garbage\0\r\n", 12) + DrawLines(2, 3),
                    3,
                    {1, 2, 3}},
        HistoryCase{
            "BareCarriageReturnsEndLines", "0001,001\r0002,002,123,0\r0003,,456,1\r", 2, {1, 2}},
        // A pending line that is not the last one, or one numbered 0, does
        // not take the last draw out of the count (a registration of the
        // "next" draw would overwrite it).
        HistoryCase{
            "PendingLineBeforeTheLastDraw", "0001,001\r\n0002,,456,1\r\n0003,003\r\n", 3, {1, 3}},
        HistoryCase{
            "PendingLineNumberedZero", "0001,001\r\n0002,002\r\n0000,,456,1\r\n", 2, {1, 2}}),
    [](const testing::TestParamInfo<HistoryCase>& info) { return info.param.name; });

TEST(HistoryFileLimits, AFileOverTheSizeLimitIsRefusedAndKept) {
  TempWorkingDirectory folder;
  const std::string contents =
      std::string(kMaxHistoryFileBytes - 9, ',') + "\r\n" + DrawLines(1, 1);
  WriteFileBytes(kHistoryFileName, contents);
  DrawHistory history;
  const Status loaded = history.Load();
  EXPECT_FALSE(loaded.ok());
  EXPECT_NE(loaded.message().find(kHistoryFileName), std::string::npos);
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), contents);
}

// A history that ends with draw 9999: the next draw would be 10000, which the
// file's four-character number cannot hold.
class FullHistoryTest : public testing::Test {
 protected:
  void SetUp() override {
    WriteFileBytes(kHistoryFileName, DrawLines(1, 9999));
    ASSERT_TRUE(history_.Load());
  }

  void ExpectNothingChanged() {
    EXPECT_EQ(ReadFileBytes(kHistoryFileName), DrawLines(1, 9999));
    EXPECT_FALSE(std::filesystem::exists(kBackTestFile));
    EXPECT_EQ(history_.count, 9999);
  }

  TempWorkingDirectory folder_;
  DrawHistory history_;
};

TEST_F(FullHistoryTest, RegistrationOfDraw10000IsRefusedWithTheReason) {
  const Result<Registration> registered = RegisterWinningNumber(history_, 10000, "123");
  ASSERT_FALSE(registered.ok());
  EXPECT_NE(registered.message().find("第 9999 回まで"), std::string::npos) << registered.message();
  // And what to do about a full file.
  EXPECT_NE(registered.message().find("kitebar-cli repair"), std::string::npos);
  EXPECT_NE(registered.message().find("新しいフォルダー"), std::string::npos);
  EXPECT_FALSE(RegisterPosition(history_, 10000, "123").ok());
  EXPECT_FALSE(history_.AppendImportedDraw("123").ok());
  ExpectNothingChanged();
}

TEST_F(FullHistoryTest, PredictionAndAnalysisOfDraw10000AreRefused) {
  const Result<Prediction> predicted = PredictionRun(history_, 10000, false);
  ASSERT_FALSE(predicted.ok());
  EXPECT_NE(predicted.message().find("第 9999 回まで"), std::string::npos) << predicted.message();
  SilentFeedback feedback;
  const Result<PositionAnalysis> analysed =
      AnalysePositions(history_, 10000, AnalysisMode::kAutomatic, 0, feedback);
  ASSERT_FALSE(analysed.ok());
  EXPECT_NE(analysed.message().find("第 9999 回まで"), std::string::npos) << analysed.message();
  ExpectNothingChanged();
}

TEST_F(FullHistoryTest, CsvBeyondDraw9999IsRefusedAndChangesNothing) {
  const Result<int> merged = MergeResultsCsv(history_, "9999,999\n10000,123\n");
  EXPECT_FALSE(merged.ok());
  EXPECT_EQ(history_.count, 9999);
}

TEST(CsvLimits, ABadLastLineOfAFourMegabyteCsvChangesNothing) {
  DrawHistory history("unused.dat");
  std::string csv = "draw,date,number\n";
  while (csv.size() < (4 << 20))
    csv += "1,1994-10-07,001\n";
  // Repeats of draw 1 that agree are one draw; the last one disagrees.
  csv += "1,1994-10-07,002\n";
  EXPECT_FALSE(MergeResultsCsv(history, csv).ok());
  csv = DrawLines(1, 9999);
  csv += "x,123\r";
  const Result<int> merged = MergeResultsCsv(history, csv);
  ASSERT_FALSE(merged.ok());
  EXPECT_NE(merged.message().find("10000 行目"), std::string::npos) << merged.message();
  EXPECT_EQ(history.count, 0);
  EXPECT_FALSE(history.record(1).exists());
}

TEST(HttpResponseLimits, TenMegabyteResponseKeepsItsFirst64Kilobytes) {
  std::string response = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n";
  response.resize(10 << 20, 'x');
  test::ScriptedServer server(response);
  SilentFeedback feedback;
  HttpFetcher fetcher(feedback);
  ASSERT_TRUE(fetcher.Connect(server.Url("/numbers/num3-h2015.html")));
  ASSERT_TRUE(fetcher.Fetch());
  const std::optional<std::string> text = fetcher.TakeResponse();
  ASSERT_TRUE(text.has_value());
  EXPECT_LT(text->size(), HttpFetcher::kResponseCapacity);
  EXPECT_GE(text->size(), HttpFetcher::kResponseCapacity - HttpFetcher::kChunkSize);
  EXPECT_EQ(response.compare(0, text->size(), *text), 0);
}

// Result pages whose last bytes are a pattern, or a pattern and a number cut
// short: nothing is read from beyond the end, and a number cut short is not
// taken.
struct PageEndCase {
  const char* name;
  const char* pageName;
  std::string text;
  int startCount;
  std::vector<std::string> expectedDigits;
};

class PageEndTest : public testing::TestWithParam<PageEndCase> {};

TEST_P(PageEndTest, TakesOnlyWhatTheTextHolds) {
  const PageEndCase& c = GetParam();
  auto history = std::make_unique<DrawHistory>("unused.dat");
  for (int n = 1; n <= c.startCount; ++n)
    ASSERT_TRUE(history->AppendImportedDraw("000").ok());
  (void)ReadResultPageText(c.pageName, c.text, *history);
  std::vector<std::string> taken;
  for (int n = c.startCount + 1; n <= history->count; ++n)
    taken.emplace_back(history->record(n).digitsText());
  EXPECT_EQ(taken, c.expectedDigits);
}

const std::string kDrawOpen(page_pattern::kDrawHeadingOpen);
const std::string kDrawClose(page_pattern::kDrawHeadingClose);
const std::string kBlockHeading(page_pattern::kBlockHeading);
const std::string kBlockStart = "<A href=\"#0011\">" + kBlockHeading + std::string(19, ' ');

INSTANTIATE_TEST_SUITE_P(
    Cases, PageEndTest,
    testing::Values(
        PageEndCase{"HeadingOpenAtTheEnd", "num3-h0011.html", "abc" + kDrawOpen, 10, {}},
        PageEndCase{"HeadingNumberCut", "num3-h0011.html", "abc" + kDrawOpen + "00", 10, {}},
        PageEndCase{"WinningNumberCut",
                    "num3-h0011.html",
                    kDrawOpen + "0011" + kDrawClose + "<B>12",
                    10,
                    {}},
        PageEndCase{"WinningNumberEndsThePage",
                    "num3-h0011.html",
                    kDrawOpen + "0011" + kDrawClose + "<B>123</B>",
                    10,
                    {"123"}},
        PageEndCase{"AnchorAtTheEnd", "num0011.html", "abc<A href=\"#", 10, {}},
        PageEndCase{
            "BlockHeadingAtTheEnd", "num0011.html", "<A href=\"#0011\">" + kBlockHeading, 10, {}},
        PageEndCase{"BlockCutInItsThirdNumber",
                    "num0011.html",
                    kBlockStart + "<B>101</B><B>102</B><B>1",
                    10,
                    {"101", "102"}},
        PageEndCase{"BlockEndsThePage",
                    "num0011.html",
                    kBlockStart + "<B>101</B><B>102</B><B>103</B><B>104</B><B>105",
                    10,
                    {"101", "102", "103", "104", "105"}}),
    [](const testing::TestParamInfo<PageEndCase>& info) { return info.param.name; });

TEST(IndexPageEnd, LinksCutAtTheEndQueueNothing) {
  const std::string marker(page_pattern::kPastDataMarker);
  const std::optional<std::vector<std::string>> markerLast = BuildPageQueue("abc" + marker, 0);
  ASSERT_TRUE(markerLast.has_value());
  EXPECT_TRUE(markerLast->empty());
  const std::optional<std::vector<std::string>> cut =
      BuildPageQueue("<A href=\"num3-h20" + marker + "<A href=\"num19", 0);
  ASSERT_TRUE(cut.has_value());
  EXPECT_TRUE(cut->empty());
  EXPECT_FALSE(BuildPageQueue(marker.substr(0, marker.size() - 1), 0).has_value());
}

}  // namespace
}  // namespace kitebar
