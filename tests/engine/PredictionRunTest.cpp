#include "engine/PredictionRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "history/DrawHistory.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::ReadFileBytes;
using test::TempWorkingDirectory;
using test::WriteFileBytes;

constexpr char kWorkedExampleListing[] =
    "1: 911 \r\n2: 842 \r\n3: 773 \r\n4: 604 \r\n5: 535 \r\n"
    "6: 466 \r\n7: 397 \r\n8: 228 \r\n9: 159 \r\n10: 080 \r\n";

std::string AllCandidates(const CandidateTable& table) {
  std::string text;
  for (int k = 1; k <= kCandidateCount; ++k)
    text += CandidateText(table, k) + " ";
  return text;
}

class PredictionRunTest : public ::testing::Test {
 protected:
  // Writes the history file and loads it.
  void LoadHistory(std::string_view fileBytes) {
    WriteFileBytes(kHistoryFileName, fileBytes);
    ASSERT_TRUE(history_.Load());
  }
  // Makes every later save of the history fail: the user made it read-only.
  void BlockHistorySaves() {
    std::filesystem::permissions(kHistoryFileName, std::filesystem::perms::owner_read);
  }
  void UnblockHistorySaves() {
    std::filesystem::permissions(
        kHistoryFileName, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  }

  TempWorkingDirectory folder_;
  DrawHistory history_;
};

TEST_F(PredictionRunTest, WorkedExampleEstimatesStoresAndLists) {
  LoadHistory("0001,123\r\n");
  const Result<Prediction> prediction = PredictionRun(history_, 2, true);
  ASSERT_TRUE(prediction.ok()) << prediction.message();
  EXPECT_EQ(prediction->drawNumber, 2);
  EXPECT_EQ(prediction->listing, kWorkedExampleListing);
  EXPECT_EQ(prediction->candidates[kThousands], (std::array<std::uint16_t, 10>{}));
  EXPECT_EQ(history_.record(2).positionText(), "466");
  EXPECT_EQ(history_.record(2).status, '0');
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), "0001,123\r\n0002,,466,0\r\n");
}

TEST_F(PredictionRunTest, CompleteDrawWithoutPositionGetsTheEstimateInItsLine) {
  LoadHistory("0001,123\r\n0002,555\r\n");
  const Result<Prediction> prediction = PredictionRun(history_, 2, false);
  ASSERT_TRUE(prediction.ok());
  EXPECT_EQ(prediction->listing, "");
  EXPECT_EQ(CandidateListing(prediction->candidates), kWorkedExampleListing);
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), "0001,123\r\n0002,555,466,0\r\n");
}

// A first byte from 0x80 up (as a signed character, below '0') means no position.
TEST_F(PredictionRunTest, PositionStartingWithAHighByteIsEstimatedAgain) {
  LoadHistory("0001,123\r\n0002,,\x83\x53\x36,1\r\n");
  ASSERT_TRUE(PredictionRun(history_, 2, false).ok());
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), "0001,123\r\n0002,,466,0\r\n");
}

// The header line would not survive a rewrite: it shows the file untouched.
TEST_F(PredictionRunTest, DecidedPositionIsUsedWithoutWritingTheFile) {
  const std::string file = "header\r\n0001,123\r\n0002,,000,1\r\n";
  LoadHistory(file);
  const Result<Prediction> prediction = PredictionRun(history_, 2, false);
  ASSERT_TRUE(prediction.ok());
  EXPECT_EQ(AllCandidates(prediction->candidates), "555 486 317 248 179 000 931 862 793 624 ");
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), file);
}

// The run that estimates computes with the "./base.ini" step value (50, hit
// shift 9); the run that finds the position uses the construction value 40.
TEST_F(PredictionRunTest, SecondRunForTheSameDrawUsesTheConstructionStepValue) {
  WriteFileBytes("base.ini", "[StepNum]\nnum=50\n");
  LoadHistory("0001,123\r\n");
  const Result<Prediction> first = PredictionRun(history_, 2, false);
  ASSERT_TRUE(first.ok());
  EXPECT_EQ(history_.record(2).positionText(), "080");
  EXPECT_EQ(AllCandidates(first->candidates), "159 080 911 842 773 604 535 466 397 228 ");
  const Result<Prediction> second = PredictionRun(history_, 2, false);
  ASSERT_TRUE(second.ok());
  EXPECT_EQ(AllCandidates(second->candidates), "535 466 397 228 159 080 911 842 773 604 ");
}

TEST_F(PredictionRunTest, StartIndexChoosesTheSetAndAnUnknownOneMeansSetZero) {
  WriteFileBytes("type2.ini", "[EndPoint]\nnum=000\n");
  LoadHistory("0001,123\r\n0002,555\r\n");
  WriteFileBytes("base.ini", "[StartIndex]\nindex=1\n");
  ASSERT_TRUE(PredictionRun(history_, 2, false).ok());
  EXPECT_EQ(history_.record(2).positionText(), "678");
  LoadHistory("0001,123\r\n0002,555\r\n");
  WriteFileBytes("base.ini", "[StartIndex]\nindex=9\n");
  ASSERT_TRUE(PredictionRun(history_, 2, false).ok());
  EXPECT_EQ(history_.record(2).positionText(), "466");
}

TEST_F(PredictionRunTest, DrawOutsideTwoTo9999IsRefused) {
  LoadHistory("0001,123\r\n");
  for (const int draw : {1, 0, 10000}) {
    const Result<Prediction> prediction = PredictionRun(history_, draw, false);
    ASSERT_FALSE(prediction.ok());
    EXPECT_NE(prediction.message().find("第 " + std::to_string(draw) + " 回"), std::string::npos);
  }
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), "0001,123\r\n");
}

// Without the save the estimate would be shown as a prediction that the file
// does not hold.
TEST_F(PredictionRunTest, HistoryThatCannotBeWrittenEndsTheRunWithFailure) {
  LoadHistory("0001,123\r\n");
  BlockHistorySaves();
  const Result<Prediction> prediction = PredictionRun(history_, 2, true);
  ASSERT_FALSE(prediction.ok());
  EXPECT_NE(prediction.message().find("第 2 回"), std::string::npos);
  EXPECT_EQ(history_.record(2).positionText(), "466");
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), "0001,123\r\n");
}

TEST_F(PredictionRunTest, StoredPositionThatIsNotThreeDigitsIsRefused) {
  for (const char* line : {"0002,,4a6,1\r\n", "0002,,46 ,1\r\n", "0002,,9\x83\x53,1\r\n"}) {
    LoadHistory(std::string("0001,123\r\n") + line);
    const Result<Prediction> prediction = PredictionRun(history_, 2, false);
    ASSERT_FALSE(prediction.ok()) << line;
    EXPECT_NE(prediction.message().find("第 2 回"), std::string::npos);
  }
}

// Draw 3 follows the pending draw 2, which has no winning number to estimate from.
TEST_F(PredictionRunTest, DrawWhosePreviousDrawHasNoNumberIsNotEstimated) {
  LoadHistory("0001,123\r\n");
  const Result<Prediction> prediction = PredictionRun(history_, 3, false);
  ASSERT_FALSE(prediction.ok());
  EXPECT_NE(prediction.message().find("第 3 回"), std::string::npos);
  EXPECT_FALSE(history_.record(3).exists());
  EXPECT_EQ(ReadFileBytes(kHistoryFileName), "0001,123\r\n");
}

TEST_F(PredictionRunTest, HolderStartsWithZeroCharactersAndIsFilledOnlyBySuccess) {
  LoadHistory("0001,123\r\n");
  BlockHistorySaves();
  PredictionHolder holder;
  EXPECT_FALSE(holder.PredictionRun(history_, 2, true).ok());
  EXPECT_EQ(holder.predictionDrawNumber, 2);
  EXPECT_EQ(AllCandidates(holder.predictedCandidates), "000 000 000 000 000 000 000 000 000 000 ");
  EXPECT_EQ(holder.resultText, "");
  UnblockHistorySaves();
  ASSERT_TRUE(holder.PredictionRun(history_, 2, true).ok());
  EXPECT_EQ(holder.resultText, kWorkedExampleListing);
  EXPECT_EQ(CandidateText(holder.predictedCandidates, 10), "080");
}

}  // namespace
}  // namespace kitebar
