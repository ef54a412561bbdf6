#include "reports/EvaluationPage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/CaseNames.h"

#include <string>

namespace kitebar {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

struct VerdictCase {
  double pValue;
  const char* says;
};

class Verdicts : public ::testing::TestWithParam<VerdictCase> {};

TEST_P(Verdicts, SayHowUnusualTheCountIs) {
  const std::string verdict = VerdictOf(GetParam().pValue);
  EXPECT_THAT(verdict, HasSubstr(GetParam().says));
  if (GetParam().pValue < 0.05)
    EXPECT_THAT(verdict, HasSubstr("0.05 を下回る"));
  else
    EXPECT_EQ(verdict, "偶然と見分けがつきません");
}

INSTANTIATE_TEST_SUITE_P(PValues, Verdicts,
                         ::testing::Values(VerdictCase{1.0, "偶然と見分けがつきません"},
                                           VerdictCase{0.05, "偶然と見分けがつきません"},
                                           VerdictCase{0.0499, "約 20 回に１回"},
                                           VerdictCase{0.001, "約 1000 回に１回"},
                                           VerdictCase{0.00001, "１万回に１回もない"}),
                         [](const ::testing::TestParamInfo<VerdictCase>& info) {
                           return test::CaseName("p " + std::to_string(info.param.pValue),
                                                 info.index);
                         });

std::size_t Occurrences(const std::string& text, std::string_view piece) {
  std::size_t count = 0;
  for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
    ++count;
  return count;
}

class EvaluationPage : public ::testing::Test {
 protected:
  void SetUp() override {
    Evaluation e;
    e.range = {2, 1001};
    e.settingsType = 3;
    e.draws = 998;
    e.skipped = 2;
    e.kinds = {KindSummary{12, 9.98, 0.2791, 4, 16, 15},
               KindSummary{52, 31.25, 0.00004, 21, 42, 41},
               KindSummary{99, 99.8, 0.5446, 81, 119, 116}};
    e.sets.fill(e.kinds);
    e.sets[0][0].hits = 777;
    e.sameAs = {0, 1, 0, 3, 1};
    for (auto& course : e.courses) {
      for (int draw = 2; draw <= 1001; draw += 100)
        course.push_back({draw, 0.5, -3.0, 3.5});
    }
    page_ = BuildEvaluationPage(e);
  }
  std::string page_;
};

TEST_F(EvaluationPage, IsJapaneseUtf8WithoutScriptOrDownloads) {
  EXPECT_EQ(page_.rfind("<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">", 0),
            0u);
  for (const char* outside : {"<script", "src=", "href=", "url("})
    EXPECT_THAT(page_, Not(HasSubstr(outside)));
}

TEST_F(EvaluationPage, RowsPerKindWithFiguresAndVerdicts) {
  EXPECT_THAT(page_, HasSubstr("タイプ４の設定で、第2回から第1001回までの 998 回"));
  EXPECT_THAT(page_, HasSubstr("<td data-label=\"当選\">12 回</td>"
                               "<td data-label=\"偶然の期待値\">9.98 回</td>"
                               "<td data-label=\"偶然なら95%以上はこの数以下\">15 回</td>"
                               "<td data-label=\"p値\">0.2791</td>"));
  EXPECT_THAT(page_, HasSubstr("<td data-label=\"p値\">&lt;&nbsp;0.0001</td>"));
  EXPECT_THAT(page_, HasSubstr(VerdictOf(0.00004)));
}

// Each kind is drawn twice, wide for a desktop and narrow for a phone.
TEST_F(EvaluationPage, CoursePerKindWithBandAndLabelledAxes) {
  EXPECT_EQ(Occurrences(page_, "<svg class=\"wide\""), 3u);
  EXPECT_EQ(Occurrences(page_, "<svg class=\"narrow\""), 3u);
  for (const char* piece : {"class=\"band\"", "class=\"allband\"", "class=\"course\"",
                            "抽選回</text>", "当選−期待値（回）</text>"})
    EXPECT_EQ(Occurrences(page_, piece), 6u) << piece;
  EXPECT_NE(page_.find("text-anchor=\"middle\">800</text>"), std::string::npos);
}

TEST_F(EvaluationPage, FiveSetsSideBySideWithTheNoteOnChoosingTheBest) {
  for (const char* type : {"タイプ１", "タイプ２", "タイプ３", "タイプ５"})
    EXPECT_THAT(page_, HasSubstr(std::string(">") + type + "</td>"));
  EXPECT_THAT(page_, HasSubstr("<tr class=\"chosen\"><td class=\"name\" data-label=\"タイプ\">"
                               "タイプ４（検証中）</td>"));
  EXPECT_THAT(page_, HasSubstr(">777 / 9.98</td>"));
  EXPECT_THAT(page_, HasSubstr("p値が５分の１（0.05 なら 0.01）より小さい"));
  EXPECT_THAT(page_, HasSubstr("p値が 15 個（3 種類 × 5 タイプ）"));
  EXPECT_THAT(page_, HasSubstr("平均 0.75 個は 0.05 を下回ります"));
  EXPECT_THAT(page_,
              HasSubstr("タイプ３はタイプ１と、タイプ５はタイプ２と、検証したどの回でも同じ"));
  EXPECT_THAT(page_, Not(HasSubstr("全期間")));
}

TEST_F(EvaluationPage, SaysWhatTheLineAndTheBandsMean) {
  EXPECT_THAT(page_, HasSubstr("偶然だけでもおよそ半分の確率"));
  EXPECT_THAT(page_, HasSubstr("濃い灰色の帯（回ごとの帯）"));
  EXPECT_THAT(page_, HasSubstr("薄い灰色の帯（全体の帯）"));
  EXPECT_THAT(page_, HasSubstr("その回の当選番号も、それより後のことも何も使っていません"));
  EXPECT_THAT(page_, HasSubstr("予想番号のうち異なる番号の数 ÷ 1000"));
  EXPECT_THAT(page_, Not(HasSubstr("偶然の範囲内")));
  EXPECT_THAT(page_, Not(HasSubstr("95%範囲")));
}

// A chosen range is flagged and the whole history shown beside it.
TEST(EvaluationPageRange, ShowsTheWholeHistoryBesideAChosenRange) {
  Evaluation e;
  e.range = {500, 800};
  e.draws = 301;
  e.wholeHistoryShown = true;
  e.wholeRange = {2, 7088};
  e.whole[0] = KindSummary{70, 70.87, 0.5, 55, 87, 84};
  const std::string page = BuildEvaluationPage(e);
  EXPECT_THAT(page, HasSubstr("結果を見てから選んだ範囲は公平な検証になりません"));
  EXPECT_THAT(page, HasSubstr("全期間、第2回〜第7088回）の行も並べました"));
  EXPECT_THAT(page, HasSubstr("ストレート・全期間</td>"
                              "<td data-label=\"検証した回\">7087</td>"
                              "<td data-label=\"当選\">70 回</td>"));
}

// The bound and the verdict come from one distribution: a count above the
// bound is exactly a count with p below 0.05, on the boundary and off it.
struct BoundCase {
  int draws;
  int chance;  // thousandths
};

class BoundAndVerdict : public ::testing::TestWithParam<BoundCase> {};

TEST_P(BoundAndVerdict, NeverDisagree) {
  const BoundCase& c = GetParam();
  HitDistribution scratch(c.draws);
  for (int hits = 0; hits <= c.draws && hits <= 200; ++hits) {
    KindTally tally;
    tally.hits = hits;
    tally.chanceThousandths = static_cast<std::int64_t>(c.draws) * c.chance;
    tally.drawsAtChance[static_cast<std::size_t>(c.chance)] = c.draws;
    const KindSummary s = SummarizeKind(tally, scratch);
    ASSERT_EQ(hits > s.chanceBound, s.pValue < 0.05) << hits;
    const std::string verdict = VerdictOf(s.pValue);
    ASSERT_EQ(hits > s.chanceBound, verdict.find("珍しさ") != std::string::npos) << hits;
  }
}

INSTANTIATE_TEST_SUITE_P(Distributions, BoundAndVerdict,
                         ::testing::Values(BoundCase{1, 10}, BoundCase{500, 10}, BoundCase{500, 44},
                                           BoundCase{300, 100}, BoundCase{7087, 32}),
                         [](const ::testing::TestParamInfo<BoundCase>& info) {
                           return test::CaseName("draws " + std::to_string(info.param.draws) +
                                                     " chance " + std::to_string(info.param.chance),
                                                 info.index);
                         });

}  // namespace
}  // namespace kitebar
