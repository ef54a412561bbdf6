#include "reports/PredictionReport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "history/DrawHistory.h"
#include "support/FileSizeLimit.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::ReadFileBytes;
using test::TempWorkingDirectory;
using test::WriteFileBytes;

// The Japanese fragments of the page in Shift_JIS (code page 932).
const std::string kTitleSjis =  // ナンバーズの予想番号
    "\x83\x69\x83\x93\x83\x6F\x81\x5B\x83\x59\x82\xCC\x97\x5C\x91\x7A\x94\xD4\x8D\x86";
const std::string kBannerSjis =  // ナンバーズ３専用の予想ソフトです。
    "\x83\x69\x83\x93\x83\x6F\x81\x5B\x83\x59\x82\x52\x90\xEA\x97\x70\x82\xCC\x97\x5C\x91\x7A"
    "\x83\x5C\x83\x74\x83\x67\x82\xC5\x82\xB7\x81\x42";
const std::string kNoticeSjis =  // 当選番号等は、主催者発表のものと、ご確認ください。
    "\x93\x96\x91\x49\x94\xD4\x8D\x86\x93\x99\x82\xCD\x81\x41\x8E\xE5\x8D\xC3\x8E\xD2\x94\xAD"
    "\x95\x5C\x82\xCC\x82\xE0\x82\xCC\x82\xC6\x81\x41\x82\xB2\x8A\x6D\x94\x46\x82\xAD\x82\xBE"
    "\x82\xB3\x82\xA2\x81\x42";
const std::string kDrawHeaderSjis = "\x92\x8A\x91\x49\x89\xF1\x90\x94";       // 抽選回数
const std::string kCandidateHeaderSjis = "\x97\x5C\x91\x7A\x94\xD4\x8D\x86";  // 予想番号
const std::string kDaiSjis = "\x91\xE6";                                      // 第
const std::string kKaiSjis = "\x89\xF1";                                      // 回

std::string ExpectedPage(int drawNumber, const std::vector<std::string>& candidates) {
  std::string page = "<html><head><title>" + kTitleSjis + "</title>\r\n";
  page += "<STYLE type=\"text/css\"></STYLE></head>\r\n";
  page += "<body bgcolor=#000000 text=#ffffff link=#2266cc vlink=#aa3333 alink=#ff0000>\r\n";
  page += "<table border=0 cellpadding=0 cellspacing=0 width=600>\r\n";
  page += "<tr><td align=left colspan=2>" + kBannerSjis + "</td></tr>\r\n";
  page += "</table>\r\n";
  page += "<br><center>" + kNoticeSjis + "<p>\r\n";
  page += "<table align=\"center\" border=0 cellpadding=3 bgcolor=#ffffff>\r\n";
  page += "<tr><td bgcolor=#006600 align=\"center\"><b>" + kDrawHeaderSjis + "</b></td>\r\n";
  page += "<td bgcolor=#885500 align=\"center\"><b>" + kCandidateHeaderSjis + "</b></td></tr>\r\n";
  page += "<tr align=\"center\" bgcolor=#f0f0f0>\r\n";
  page += "<td bgcolor=#006600><b>" + kDaiSjis + std::to_string(drawNumber) + kKaiSjis +
          "</B></td>\r\n";
  page += "<td bgcolor=#660000 width=150>\r\n";
  for (const std::string& candidate : candidates) {
    page += "<B><FONT color=#ffffff>" + candidate + "</font></B><br>\r\n";
  }
  page += "</td></tr>\r\n";
  page += "</table><br>\r\n";
  page += "<br><br><br></center></body></html>\r\n";
  return page;
}

const std::vector<std::string> kWorkedExample{"911", "842", "773", "604", "535",
                                              "466", "397", "228", "159", "080"};

class RecordingOpener final : public PageOpener {
 public:
  Status Open(const std::filesystem::path& page) override {
    opened.push_back(page);
    // The page must be complete when it is handed over.
    pageAtOpen = ReadFileBytes(page);
    return result;
  }
  std::vector<std::filesystem::path> opened;
  std::string pageAtOpen;
  Status result = Status::Ok();
};

class PredictionReportTest : public ::testing::Test {
 protected:
  void LoadHistory(std::string_view fileBytes) {
    WriteFileBytes(kHistoryFileName, fileBytes);
    ASSERT_TRUE(history_.Load());
  }

  TempWorkingDirectory folder_;
  DrawHistory history_;
  RecordingOpener opener_;
};

TEST_F(PredictionReportTest, WorkedExamplePageIsWrittenByteForByteAndOpened) {
  LoadHistory("0001,123\r\n");
  const Result<Prediction> prediction = StartPrediction(history_, &opener_);
  ASSERT_TRUE(prediction.ok()) << prediction.message();
  EXPECT_EQ(prediction->drawNumber, 2);
  EXPECT_EQ(ReadFileBytes(kPredictionPage), ExpectedPage(2, kWorkedExample));
  ASSERT_EQ(opener_.opened.size(), 1u);
  EXPECT_EQ(opener_.opened[0], std::filesystem::path(kPredictionPage));
  EXPECT_EQ(opener_.pageAtOpen, ExpectedPage(2, kWorkedExample));
  EXPECT_FALSE(std::filesystem::exists(std::string(kPredictionPage) + ".tmp"));
}

// Candidates in table order, unsorted, from the low bytes of the entries; the
// thousands row never reaches the page.
TEST_F(PredictionReportTest, PageShowsTheDrawNumberAndTheTableInOrder) {
  CandidateTable table{};
  std::vector<std::string> expected;
  for (int k = 0; k < kCandidateCount; ++k) {
    const auto i = static_cast<std::size_t>(k);
    table[kThousands][i] = '7';
    table[kHundreds][i] = static_cast<std::uint16_t>(0x2300 + '0' + (9 - k));
    table[kTens][i] = static_cast<std::uint16_t>('0' + k);
    table[kUnits][i] = static_cast<std::uint16_t>('0' + (k * 3) % 10);
    expected.push_back({static_cast<char>('0' + (9 - k)), static_cast<char>('0' + k),
                        static_cast<char>('0' + (k * 3) % 10)});
  }
  ASSERT_TRUE(WritePredictionPage("page.html", 2346, table));
  EXPECT_EQ(ReadFileBytes("page.html"), ExpectedPage(2346, expected));
}

TEST_F(PredictionReportTest, NextDrawFollowsTheLastCompleteDrawAndRerunsOverwrite) {
  std::string file;
  for (int n = 1; n <= 2345; ++n) {
    char line[16];
    std::snprintf(line, sizeof line, "%04d,123\r\n", n);
    file += line;
  }
  LoadHistory(file);
  ASSERT_TRUE(StartPrediction(history_, nullptr).ok());
  const std::string first = ReadFileBytes(kPredictionPage);
  EXPECT_NE(first.find("<b>" + kDaiSjis + "2346" + kKaiSjis + "</B>"), std::string::npos);
  // Draw 2346 now has its position; a decided one replaces it for the second run.
  ASSERT_TRUE(history_.SetPosition(2346, "000", '1'));
  ASSERT_TRUE(history_.Save());
  ASSERT_TRUE(StartPrediction(history_, nullptr).ok());
  const std::string second = ReadFileBytes(kPredictionPage);
  EXPECT_NE(second, first);
  EXPECT_NE(second.find("<B><FONT color=#ffffff>555</font></B><br>\r\n"), std::string::npos);
}

TEST_F(PredictionReportTest, FailedRunWritesNoPageAndOpensNothing) {
  LoadHistory("");  // count 0: draw 1 cannot be predicted
  const Result<Prediction> prediction = StartPrediction(history_, &opener_);
  EXPECT_FALSE(prediction.ok());
  EXPECT_FALSE(std::filesystem::exists(kPredictionPage));
  EXPECT_TRUE(opener_.opened.empty());
}

// The run has taken place (and its position is saved) even though the page
// could not be written whole; the previous page stays whole.
TEST_F(PredictionReportTest, PageThatCannotBeWrittenKeepsTheOldOneAndOpensNothing) {
  LoadHistory("0001,123\r\n");
  WriteFileBytes(kPredictionPage, "old page");
  const Result<Prediction> prediction = [&] {
    const test::FileSizeLimit fullDisk(100);  // the history fits, the page does not
    return StartPrediction(history_, &opener_);
  }();
  EXPECT_FALSE(prediction.ok());
  EXPECT_NE(prediction.message().find(kPredictionPage), std::string::npos);
  EXPECT_EQ(ReadFileBytes(kPredictionPage), "old page");
  EXPECT_TRUE(opener_.opened.empty());
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), "0001,123\r\n0002,,466,0\r\n");
}

// A page the user made read-only is refused before anything is written.
TEST_F(PredictionReportTest, ReadOnlyPageIsRefusedBeforeTheHistoryIsWritten) {
  LoadHistory("0001,123\r\n");
  WriteFileBytes(kPredictionPage, "old page");
  std::filesystem::permissions(kPredictionPage, std::filesystem::perms::owner_read);
  const Result<Prediction> prediction = StartPrediction(history_, &opener_);
  EXPECT_FALSE(prediction.ok());
  EXPECT_NE(prediction.message().find("読み取り専用"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), "0001,123\r\n");
  EXPECT_EQ(ReadFileBytes(kPredictionPage), "old page");
}

TEST_F(PredictionReportTest, OpenerFailureIsReportedAfterThePageIsWritten) {
  LoadHistory("0001,123\r\n");
  opener_.result = Status::Failure("no browser");
  const Result<Prediction> prediction = StartPrediction(history_, &opener_);
  EXPECT_FALSE(prediction.ok());
  EXPECT_EQ(ReadFileBytes(kPredictionPage), ExpectedPage(2, kWorkedExample));
}

}  // namespace
}  // namespace kitebar
