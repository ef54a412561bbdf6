#include "engine/PositionAnalysis.h"

#include <gtest/gtest.h>

#include <vector>

#include "history/DrawHistory.h"
#ifndef _WIN32
#include "support/FileSizeLimit.h"
#endif
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::ReadFileBytes;
using test::TempWorkingDirectory;
using test::WriteFileBytes;

class RecordingFeedback final : public Feedback {
 public:
  void SetProgress(int percent) override { progress.push_back(percent); }
  void AddMessageLine(std::string_view) override {}
  void ShowMessage(std::string_view, MessageIcon) override {}
  std::vector<int> progress;
};

DrawHistory LoadHistory(std::string_view contents) {
  WriteFileBytes(kHistoryFileName, contents);
  DrawHistory history;
  EXPECT_TRUE(history.Load());
  return history;
}

TEST(PositionAnalysis, AutomaticModeFillsMissingPositionsAndThePendingDraw) {
  TempWorkingDirectory folder;
  DrawHistory history = LoadHistory("0001,123\r\n0002,456\r\n");
  RecordingFeedback feedback;
  const Result<PositionAnalysis> analysis =
      AnalysePositions(history, 3, AnalysisMode::kAutomatic, 4, feedback);
  ASSERT_TRUE(analysis.ok()) << analysis.message();
  EXPECT_EQ(analysis->listing, "1: 466 \r\n2: 799 \r\n");
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), "0001,123\r\n0002,456,466,0\r\n0003,,799,0\r\n");
  EXPECT_EQ(feedback.progress, (std::vector<int>{10, 100}));
  EXPECT_EQ(history.count, 2);
}

TEST(PositionAnalysis, AutomaticModeNeverChangesAStoredPositionNorFillsGaps) {
  TempWorkingDirectory folder;
  DrawHistory history =
      LoadHistory("0001,123\r\n0002,456,111,1\r\n0003,789,222,0\r\n0005,321,333,1\r\n");
  RecordingFeedback feedback;
  const Result<PositionAnalysis> analysis =
      AnalysePositions(history, 5, AnalysisMode::kAutomatic, 0, feedback);
  ASSERT_TRUE(analysis.ok());
  const std::string saved = ReadFileBytes(kHistoryFileName);
  EXPECT_NE(saved.find("0002,456,111,1\r\n0003,789,222,0\r\n0005,321,333,1"), std::string::npos)
      << saved;
  EXPECT_FALSE(history.record(4).exists());
  // The listing shows every estimate, also where the history kept its own.
  EXPECT_EQ(analysis->listing.substr(0, 10), "1: 466 \r\n2");
}

TEST(PositionAnalysis, SingleModeOffersTheEstimateAndWritesNothing) {
  TempWorkingDirectory folder;
  std::string contents;
  for (int draw = 1; draw <= 99; ++draw) {
    char line[16];
    std::snprintf(line, sizeof line, "%04d,%03d\r\n", draw, draw * 7 % 1000);
    contents += line;
  }
  DrawHistory history = LoadHistory(contents);
  RecordingFeedback feedback;
  const Result<PositionAnalysis> analysis =
      AnalysePositions(history, 100, AnalysisMode::kSingle, 0, feedback);
  ASSERT_TRUE(analysis.ok());
  std::string expected;
  for (int line = 1; line <= 98; ++line)
    expected += std::to_string(line) + ": 000 \r\n";
  expected += "99: " + analysis->estimate + " \r\n";
  EXPECT_EQ(analysis->listing, expected);
  EXPECT_EQ(analysis->estimate.size(), 3u);
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), contents);
  EXPECT_FALSE(history.record(100).exists());
}

TEST(PositionAnalysis, SingleModeUsesTheChosenSetAndAutomaticTheStartSet) {
  TempWorkingDirectory folder;
  WriteFileBytes("./type3.ini", "[Tekicyuten2]\r\nf=16.0\r\n[Tekicyuten4]\r\nf=14.0\r\n");
  DrawHistory history = LoadHistory("0001,123\r\n");
  RecordingFeedback feedback;
  const std::string chosen =
      AnalysePositions(history, 2, AnalysisMode::kSingle, 2, feedback)->estimate;
  const std::string standard =
      AnalysePositions(history, 2, AnalysisMode::kSingle, 0, feedback)->estimate;
  EXPECT_EQ(standard, "466");
  EXPECT_NE(chosen, standard);
  ASSERT_TRUE(AnalysePositions(history, 2, AnalysisMode::kAutomatic, 2, feedback).ok());
  EXPECT_EQ(history.record(2).positionText(), "466");
}

TEST(PositionAnalysis, RefusesDrawsOutsideTheRangeAndReportsAFailedSave) {
  TempWorkingDirectory folder;
  DrawHistory history = LoadHistory("0001,123\r\n0002,456\r\n");
  RecordingFeedback feedback;
  EXPECT_FALSE(AnalysePositions(history, 1, AnalysisMode::kAutomatic, 0, feedback).ok());
  EXPECT_FALSE(AnalysePositions(history, 10000, AnalysisMode::kSingle, 0, feedback).ok());
#ifndef _WIN32  // RLIMIT_FSIZE: POSIX only
  feedback.progress.clear();
  const Result<PositionAnalysis> failed = [&] {
    const test::FileSizeLimit fullDisk(8);
    return AnalysePositions(history, 3, AnalysisMode::kAutomatic, 0, feedback);
  }();
  EXPECT_FALSE(failed.ok());
  EXPECT_EQ(feedback.progress, std::vector<int>{10});
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), "0001,123\r\n0002,456\r\n");
  EXPECT_EQ(history.record(2).positionText(), "466");  // kept in memory
#endif
}

// An estimate made from a draw without a three-digit winning number would be
// stored as control bytes: such an analysis stores nothing.
TEST(PositionAnalysis, RefusesToEstimateFromADrawWithoutAWinningNumber) {
  TempWorkingDirectory folder;
  struct Case {
    const char* contents;
    int draw;
    AnalysisMode mode;
    const char* reason;
  };
  // A number that is not three digits makes the file itself damaged.
  for (const Case& c : {Case{"0001,123\r\n0002,abc\r\n", 3, AnalysisMode::kAutomatic, "2 行目"},
                        Case{"0001,123\r\n0003,456\r\n", 4, AnalysisMode::kAutomatic,
                             "当選番号が 3 桁の数字ではありません"},
                        Case{"0001,123\r\n0002,45\r\n", 3, AnalysisMode::kSingle,
                             "当選番号が 3 桁の数字ではありません"}}) {
    DrawHistory history = LoadHistory(c.contents);
    RecordingFeedback feedback;
    const Result<PositionAnalysis> refused = AnalysePositions(history, c.draw, c.mode, 0, feedback);
    EXPECT_FALSE(refused.ok()) << c.contents;
    EXPECT_NE(refused.message().find(c.reason), std::string::npos) << refused.message();
    EXPECT_EQ(ReadFileBytes(kHistoryFileName), c.contents);
  }
}

}  // namespace
}  // namespace kitebar
