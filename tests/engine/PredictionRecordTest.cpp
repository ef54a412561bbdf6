#include "engine/PredictionRecord.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/RecordScore.h"
#include "engine/Registration.h"
#include "history/DrawHistory.h"
#include "support/CaseNames.h"
#include "support/FolderFixtures.h"
#include "support/TempWorkingDirectory.h"

namespace kitebar {
namespace {

using test::ReadFileBytes;
using test::TempWorkingDirectory;
using test::WriteFileBytes;

RecordEntry Predicted(int draw, std::array<int, kCandidateCount> candidates,
                      std::string digest = "0123456789ab", int set = 0) {
  RecordEntry entry;
  entry.time = "2025-01-06T09:30:00Z";
  entry.draw = draw;
  entry.settingsType = set;
  entry.digest = std::move(digest);
  entry.candidates = candidates;
  return entry;
}

RecordEntry Drawn(int draw, int winning) {
  RecordEntry entry;
  entry.kind = RecordEntry::Kind::kResult;
  entry.time = "2025-01-07T12:00:00Z";
  entry.draw = draw;
  entry.winning = winning;
  return entry;
}

// The candidates of the worked example: 911, 842, … 080.
constexpr std::array<int, kCandidateCount> kExample{911, 842, 773, 604, 535,
                                                    466, 397, 228, 159, 80};

std::vector<std::string> ChainedLines(const std::vector<RecordEntry>& entries) {
  std::vector<std::string> lines;
  std::string chain(kRecordGenesis);
  for (const RecordEntry& entry : entries) {
    lines.push_back(RecordLine(entry, chain));
    chain = lines.back().substr(lines.back().size() - 65, 64);
  }
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += line;
  return text;
}

const std::vector<std::string> kLines = ChainedLines(
    {Predicted(10, kExample), Drawn(10, 466), Predicted(11, kExample), Drawn(11, 123)});
const std::string kWhole = Joined(kLines);

std::string Replaced(std::string text, std::string_view from, std::string_view to) {
  return text.replace(text.find(from), from.size(), to);
}

struct ChainCase {
  const char* name;
  std::string text;
  int brokenLine;  // 0: whole
  std::size_t entries;
};

const ChainCase kChainCases[] = {
    {"Whole", kWhole, 0, 4},
    {"EditedCandidate", Replaced(kWhole, kLines[2], Replaced(kLines[2], "911", "912")), 3, 2},
    {"EditedResult", Replaced(kWhole, ",466,", ",467,"), 2, 1},
    {"RemovedLine", Replaced(kWhole, kLines[1], ""), 2, 1},
    {"ReorderedPair", Joined({kLines[0], kLines[2], kLines[1], kLines[3]}), 2, 1},
    {"TruncatedLastLine", kWhole.substr(0, 500), 4, 3},
    {"LastLineEndRemoved", kWhole.substr(0, kWhole.size() - 1), 4, 3},
    {"CrLfLineEnds", Replaced(kWhole, "\n", "\r\n"), 1, 0},
    {"BlankLinesPassedOver",
     "\n" + Joined({kLines[0], kLines[1], "          \n", kLines[2], kLines[3]}), 0, 4},
    {"PredictionAfterItsResult", Joined(ChainedLines({Drawn(10, 466), Predicted(10, kExample)})), 2,
     1},
};

class RecordChain : public testing::TestWithParam<ChainCase> {};

TEST_P(RecordChain, NamesTheFirstBrokenLineAndKeepsWhatComesBefore) {
  const ParsedRecord record = ParseRecord(GetParam().text);
  EXPECT_EQ(record.entries.size(), GetParam().entries);
  EXPECT_EQ(record.broken ? record.broken->line : 0, GetParam().brokenLine)
      << (record.broken ? record.broken->reason : "");
}

INSTANTIATE_TEST_SUITE_P(Changes, RecordChain, testing::ValuesIn(kChainCases),
                         [](const testing::TestParamInfo<ChainCase>& info) {
                           return test::CaseName(info.param.name, info.index);
                         });

TEST(RecordLine, HasTheDocumentedForm) {
  const std::vector<std::string> lines = ChainedLines({Predicted(7089, kExample), Drawn(7089, 5)});
  EXPECT_TRUE(lines[0].starts_with(
      "2025-01-06T09:30:00Z,predict,7089,1,0123456789ab,911 842 773 604 535 466 397 228 159 080,"))
      << lines[0];
  EXPECT_TRUE(lines[1].starts_with("2025-01-07T12:00:00Z,result,7089,,,005,")) << lines[1];
}

struct ScoreCase {
  const char* name;
  std::vector<RecordEntry> entries;
  const char* history;  // draws 1 to count
  int scored;
  int waiting;
  std::array<int, kHitKindCount> hits;
  std::array<double, kHitKindCount> expected;
  int corrections;
};

constexpr std::array<int, kCandidateCount> kOtherSet{1,   112, 223, 334, 445,
                                                     556, 667, 778, 889, 990};

const ScoreCase kScoreCases[] = {
    // One straight in one draw of ten distinct candidates: p = 0.01.
    {"OneStraight",
     {Predicted(3, kExample)},
     "0001,111\r\n0002,222\r\n0003,466\r\n",
     1,
     0,
     {1, 0, 1},
     {0.01, 0.032, 0.1},
     0},
    {"DrawToCome",
     {Predicted(3, kExample)},
     "0001,111\r\n0002,222\r\n",
     0,
     1,
     {0, 0, 0},
     {0, 0, 0},
     0},
    // Two predictions of one draw count once, with all twenty candidates.
    {"TwoPredictionsOneDraw",
     {Predicted(3, kExample), Predicted(3, kOtherSet, "ba9876543210")},
     "0001,111\r\n0002,222\r\n0003,664\r\n",
     1,
     0,
     {0, 1, 0},
     {0.02, 0.052, 0.2},
     0},
    // The history lacks the draw now, the record took 466 for it.
    {"NumberFromTheRecord",
     {Predicted(3, kExample), Drawn(3, 466)},
     "0001,111\r\n0002,222\r\n",
     1,
     0,
     {1, 0, 1},
     {0.01, 0.032, 0.1},
     0},
    // Taken as 466, corrected to 664: scored against 664, one correction.
    {"CorrectedDraw",
     {Predicted(3, kExample), Drawn(3, 466)},
     "0001,111\r\n0002,222\r\n0003,664\r\n",
     1,
     0,
     {0, 1, 0},
     {0.01, 0.032, 0.1},
     1},
    {"CorrectedBack",
     {Predicted(3, kExample), Drawn(3, 466), Drawn(3, 664)},
     "0001,111\r\n0002,222\r\n0003,466\r\n",
     1,
     0,
     {1, 0, 1},
     {0.01, 0.032, 0.1},
     2},
};

class RecordScoring : public testing::TestWithParam<ScoreCase> {};

TEST_P(RecordScoring, CountsEachDrawOnceAgainstItsChance) {
  const ScoreCase& c = GetParam();
  DrawHistory history;
  history.LoadText(c.history);
  const LiveScore score = ScoreRecord(ParseRecord(Joined(ChainedLines(c.entries))), history);
  EXPECT_EQ(score.scoredDraws, c.scored);
  EXPECT_EQ(score.waitingDraws, c.waiting);
  EXPECT_EQ(score.corrections, c.corrections);
  for (std::size_t kind = 0; kind < kHitKindCount; ++kind) {
    EXPECT_EQ(score.kinds[kind].hits, c.hits[kind]) << "kind " << kind;
    EXPECT_NEAR(score.kinds[kind].expected, c.expected[kind], 1e-12) << "kind " << kind;
  }
  if (c.scored == 1 && c.hits[0] == 1) {
    EXPECT_NEAR(score.kinds[0].pValue, c.expected[0], 1e-12);
  }
}

INSTANTIATE_TEST_SUITE_P(Records, RecordScoring, testing::ValuesIn(kScoreCases),
                         [](const testing::TestParamInfo<ScoreCase>& info) {
                           return test::CaseName(info.param.name, info.index);
                         });

class RecordingTest : public testing::Test {
 protected:
  void SetUp() override {
    WriteFileBytes(kHistoryFileName, test::HistoryUpTo(5));
    ASSERT_TRUE(history.Load().ok());
  }
  Prediction PredictionOf(int draw) {
    DrawHistory scratch = history;
    Result<Prediction> prediction = PredictionRun(scratch, draw, false, EstimateSave::kByCaller);
    EXPECT_TRUE(prediction.ok()) << prediction.message();
    return prediction.ok() ? *prediction : Prediction{};
  }

  TempWorkingDirectory folder;
  DrawHistory history;
};

TEST_F(RecordingTest, APredictionIsRecordedOnceAndNeverForADrawHeld) {
  const Prediction next = PredictionOf(6);
  EXPECT_EQ(*RecordShownPrediction(history, next), RecordOutcome::kAdded);
  EXPECT_EQ(*RecordShownPrediction(history, next), RecordOutcome::kAlreadyRecorded);
  EXPECT_EQ(*RecordShownPrediction(history, PredictionOf(5)), RecordOutcome::kResultKnown);
  const ParsedRecord record = ParseRecord(ReadFileBytes(kPredictionRecordFile));
  ASSERT_EQ(record.entries.size(), 1u);
  EXPECT_EQ(record.entries[0].draw, 6);
  EXPECT_EQ(record.entries[0].digest, next.settingsDigest);
}

// Registered, then taken out of the history by hand: the record saw the
// draw's number, so a prediction of it now would be hindsight.
TEST_F(RecordingTest, ADrawWhoseNumberTheRecordTookIsNeverPredictedAgain) {
  const Prediction next = PredictionOf(6);
  ASSERT_TRUE(RecordShownPrediction(history, next).ok());
  ASSERT_TRUE(RegisterWinningNumber(history, 6, "466").ok());
  const std::string recorded = ReadFileBytes(kPredictionRecordFile);
  WriteFileBytes(kHistoryFileName, test::HistoryUpTo(5));
  ASSERT_TRUE(history.Load().ok());
  Prediction other = next;
  other.settingsDigest = "ffffffffffff";
  EXPECT_EQ(*RecordShownPrediction(history, other), RecordOutcome::kResultKnown);
  EXPECT_EQ(ReadFileBytes(kPredictionRecordFile), recorded);
}

// The registration seals the number its draw's predictions are scored
// against and records the next draw's prediction, without saving a position
// for it; a correction is recorded and counted.
TEST_F(RecordingTest, RegistrationTakesTheNumberAndPredictsTheNextDraw) {
  ASSERT_TRUE(RecordShownPrediction(history, PredictionOf(6)).ok());
  const Result<Registration> registered = RegisterWinningNumber(history, 6, "466");
  ASSERT_TRUE(registered.ok() && registered->recordProblem.empty()) << registered.message();
  EXPECT_FALSE(history.record(7).exists());
  const Result<Registration> corrected = RegisterWinningNumber(history, 6, "664");
  ASSERT_TRUE(corrected.ok() && corrected->recordProblem.empty());
  const ParsedRecord record = ParseRecord(ReadFileBytes(kPredictionRecordFile));
  ASSERT_FALSE(record.broken.has_value());
  ASSERT_EQ(record.entries.size(), 4u);
  EXPECT_EQ(record.entries[1].kind, RecordEntry::Kind::kResult);
  EXPECT_EQ(record.entries[1].winning, 466);
  EXPECT_EQ(record.entries[2].draw, 7);
  EXPECT_EQ(record.entries[3].winning, 664);
  const LiveScore score = ScoreLiveRecord(history);
  EXPECT_EQ(score.corrections, 1);
  EXPECT_EQ(score.waitingDraws, 1);
}

// A broken record takes nothing more and says where it broke; the
// registration stands.
TEST_F(RecordingTest, ABrokenRecordTakesNothingAndNamesItsLine) {
  ASSERT_TRUE(RecordShownPrediction(history, PredictionOf(6)).ok());
  std::string text = ReadFileBytes(kPredictionRecordFile);
  text.replace(text.find(",predict,6,"), 11, ",predict,7,");
  WriteFileBytes(kPredictionRecordFile, text);
  const Result<Registration> registered = RegisterWinningNumber(history, 6, "466");
  ASSERT_TRUE(registered.ok() && registered->stored);
  EXPECT_NE(registered->recordProblem.find("1 行目"), std::string::npos)
      << registered->recordProblem;
  EXPECT_EQ(ReadFileBytes(kPredictionRecordFile), text);
  const LiveScore score = ScoreLiveRecord(history);
  ASSERT_TRUE(score.record.broken.has_value());
  EXPECT_EQ(score.record.broken->line, 1);
  EXPECT_EQ(history.count, 6);
}

}  // namespace
}  // namespace kitebar
