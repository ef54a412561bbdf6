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
    EXPECT_EQ(verdict, "偶然の範囲内です");
}

INSTANTIATE_TEST_SUITE_P(
    PValues, Verdicts,
    ::testing::Values(VerdictCase{1.0, "偶然の範囲内です"}, VerdictCase{0.05, "偶然の範囲内です"},
                      VerdictCase{0.0499, "約 20 回に１回"}, VerdictCase{0.001, "約 1000 回に１回"},
                      VerdictCase{0.00001, "１万回に１回もない"}),
    [](const ::testing::TestParamInfo<VerdictCase>& info) {
      return test::CaseName("p " + std::to_string(info.param.pValue), info.index);
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
    e.kinds = {KindSummary{12, 9.98, 0.2791, 4, 16}, KindSummary{52, 31.25, 0.00004, 21, 42},
               KindSummary{99, 99.8, 0.5446, 81, 119}};
    e.sets.fill(e.kinds);
    e.sets[0][0].hits = 777;
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
                               "<td data-label=\"偶然の95%範囲\">4〜16 回</td>"
                               "<td data-label=\"p値\">0.2791</td>"));
  EXPECT_THAT(page_, HasSubstr("<td data-label=\"p値\">&lt; 0.0001</td>"));
  EXPECT_THAT(page_, HasSubstr(VerdictOf(0.00004)));
}

// Each kind is drawn twice, wide for a desktop and narrow for a phone.
TEST_F(EvaluationPage, CoursePerKindWithBandAndLabelledAxes) {
  EXPECT_EQ(Occurrences(page_, "<svg class=\"wide\""), 3u);
  EXPECT_EQ(Occurrences(page_, "<svg class=\"narrow\""), 3u);
  for (const char* piece :
       {"class=\"band\"", "class=\"course\"", "抽選回</text>", "当選−期待値（回）</text>"})
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
}

}  // namespace
}  // namespace kitebar
