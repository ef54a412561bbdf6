#include "reports/RecordSection.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "common/LocalTime.h"
#include "history/DrawHistory.h"
#include "reports/EvaluationPage.h"
#include "support/CaseNames.h"

namespace kitebar {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

RecordEntry Entry(RecordEntry::Kind kind, int draw, std::string digest, int winning) {
  RecordEntry entry;
  entry.kind = kind;
  entry.time = "2025-01-06T09:30:00Z";
  entry.draw = draw;
  entry.digest = std::move(digest);
  entry.candidates = {911, 842, 773, 604, 535, 466, 397, 228, 159, 80};
  entry.winning = winning;
  return entry;
}

// Draw 3 predicted with two settings and taken as 466, since corrected to
// 664; draw 4 predicted and still to come.
std::string SampleRecord() {
  const std::vector<RecordEntry> entries{
      Entry(RecordEntry::Kind::kPrediction, 3, "0123456789ab", 0),
      Entry(RecordEntry::Kind::kPrediction, 3, "ba9876543210", 0),
      Entry(RecordEntry::Kind::kResult, 3, "", 466),
      Entry(RecordEntry::Kind::kPrediction, 4, "ba9876543210", 0)};
  std::string text;
  std::string chain(kRecordGenesis);
  for (const RecordEntry& entry : entries) {
    text += RecordLine(entry, chain);
    chain = text.substr(text.size() - 65, 64);
  }
  return text;
}

struct SectionCase {
  const char* name;
  std::string record;
  std::string problem;
  std::vector<const char*> says;
  std::vector<const char*> omits;
};

const SectionCase kSections[] = {
    {"Empty", "", "", {"まだ記録された予想はありません", "予想開始"}, {"<table", "検査値"}},
    {"Scored",
     SampleRecord(),
     "",
     {"記録された予想 3 件", "抽選待ち 1 回", "使った設定は 2 通り", "第3回（最初 466 → いま 664）",
      "ボックス", "抽選待ち", "<svg"},
     {"まだ記録された予想はありません", "壊れています"}},
    {"Broken",
     SampleRecord().replace(SampleRecord().find(",466,"), 5, ",467,"),
     "",
     {"3 行目が壊れています", "2 行目まで", "記録された予想 2 件"},
     {"第4回"}},
    {"Unreadable", "", "「kitebar-record.csv」は<テスト>", {"は&lt;テスト&gt;"}, {"<table"}},
};

class LiveSection : public ::testing::TestWithParam<SectionCase> {};

TEST_P(LiveSection, SaysWhatTheRecordHolds) {
  DrawHistory history;
  history.LoadText("0001,111\r\n0002,222\r\n0003,664\r\n");
  LiveScore score = ScoreRecord(ParseRecord(GetParam().record), history, LiveCourses::kWith);
  score.file = kPredictionRecordFile;
  score.problem = GetParam().problem;
  const std::string section = LiveRecordSection(score);
  EXPECT_THAT(section, HasSubstr("その回の当選番号が登録される前に記録した予想です"));
  for (const char* said : GetParam().says)
    EXPECT_THAT(section, HasSubstr(said));
  // The record's UTC time, shown in the user's time zone.
  if (!score.entries.empty()) {
    const std::tm local = LocalTimeOf(1736155800);  // 2025-01-06T09:30:00Z
    char shown[32];
    std::strftime(shown, sizeof shown, ">%Y-%m-%d %H:%M</td>", &local);
    EXPECT_THAT(section, HasSubstr(shown));
  }
  for (const char* omitted : GetParam().omits)
    EXPECT_THAT(section, Not(HasSubstr(omitted)));
}

INSTANTIATE_TEST_SUITE_P(Records, LiveSection, ::testing::ValuesIn(kSections),
                         [](const ::testing::TestParamInfo<SectionCase>& info) {
                           return test::CaseName(info.param.name, info.index);
                         });

// The live figures come first and apart: the replayed ones follow them.
TEST(LiveSectionOnThePage, StandsAboveTheReplayedFigures) {
  const LiveScore empty;
  const std::string page = BuildEvaluationPage(Evaluation{}, &empty);
  const std::size_t live = page.find("記録された予想の成績");
  ASSERT_NE(live, std::string::npos);
  EXPECT_LT(live, page.find("種類ごとの成績"));
  EXPECT_THAT(BuildEvaluationPage(Evaluation{}), Not(HasSubstr("記録された予想の成績")));
}

}  // namespace
}  // namespace kitebar
