#include "reports/TuningPage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <regex>
#include <string>
#include <vector>

#include "reports/ScoreHistogram.h"

namespace kitebar {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// A box tuning of 100 rules: rule r has r hits less expected; the best is
// rule 99, the current set's rule 7.
Tuning TuningOfRules() {
  Tuning t;
  t.request.trainTo = 6000;
  t.count = 7088;
  t.currentSet = 1;
  t.stepNum = 40;
  t.diameter = 30.0f;
  for (int rule = 0; rule < 100; ++rule) {
    t.rules.push_back({rule, 5999, KindSummary{250 + rule, 250.0, 0.5 - rule * 0.004, 0, 0, 270}});
  }
  t.bestClass = 99;
  t.currentClass = 7;
  t.best = {{{4, 5, 7, 328, 393, 4, 1429, 1306, 1321, 3, 4, 3}}, 2};
  t.adjusted = {0.2741, false, 10000, 2741, 0.28144, false};
  t.trainBest = {{2, 6000}, 5999, KindSummary{349, 250.0, 0.104, 0, 0, 270}};
  t.trainCurrent = {{2, 6000}, 5999, KindSummary{257, 250.0, 0.1994, 0, 0, 270}};
  t.holdoutBest = {{6001, 7088}, 1088, KindSummary{52, 44.96, 0.1594, 0, 0, 56}};
  t.holdoutCurrent = {{6001, 7088}, 1088, KindSummary{57, 44.95, 0.0430, 0, 0, 56}};
  t.holdoutDrawsNeeded = 2650;
  return t;
}

// The settings that the bars of one drawing stand for.
int SettingsInBars(const std::string& svg) {
  int settings = 0;
  const std::string end = " 通り</title>";
  for (std::size_t at = svg.find(end); at != std::string::npos; at = svg.find(end, at + 1)) {
    const std::size_t start = svg.rfind("<title>", at) + 7;
    settings += std::stoi(svg.substr(start, at - start));
  }
  return settings;
}

struct ScoresCase {
  const char* name;
  std::vector<std::int32_t> scores;
};

class ScoreHistogramBars : public ::testing::TestWithParam<ScoresCase> {};

// Every score falls in a bar: on the bounds of the bars, below zero, at the
// highest and lowest score, when all are equal, and when the marks lie
// outside the scores.
TEST_P(ScoreHistogramBars, HoldEverySettingTried) {
  const std::vector<std::int32_t>& scores = GetParam().scores;
  const HistogramMarks marks{*std::max_element(scores.begin(), scores.end()), -41000};
  for (const PlotShape& shape : {kWideHistogram, kNarrowHistogram}) {
    const std::string svg = ScoreHistogramSvg(scores, marks, shape, "wide");
    EXPECT_EQ(SettingsInBars(svg), static_cast<int>(scores.size()));
    EXPECT_THAT(svg, HasSubstr("見つけた設定"));
    EXPECT_THAT(svg, HasSubstr("今の設定"));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Scores, ScoreHistogramBars,
    ::testing::Values(ScoresCase{"One", {0}}, ScoresCase{"AllEqual", {-2500, -2500, -2500}},
                      ScoresCase{"OnBounds", {-1000, 0, 999, 1000, 5000, -5000, 25900}},
                      ScoresCase{"Spread", {-30123, -1, 1, 17456, 26180, 26180, -29999, 3}}),
    [](const ::testing::TestParamInfo<ScoresCase>& info) { return std::string(info.param.name); });

// The line of each mark ends above the dots of the bar it falls in, wherever
// in the bar the mark lies, at both widths.
TEST(ScoreHistogramMarks, StopAboveTheDotsTheyWouldCross) {
  static const std::regex line(
      R"re(<line class="mark (\w+)" x1="([-0-9.]+)" y1="[-0-9.]+" x2="[-0-9.]+" y2="([-0-9.]+)"/>)re");
  static const std::regex dot(R"re(<circle cx="([-0-9.]+)" cy="([-0-9.]+)" r="([-0-9.]+)"/>)re");
  std::vector<std::int32_t> scores;
  for (int rule = 0; rule < 100; ++rule)
    scores.push_back((rule * 37 % 100 - 50) * 500);
  for (const std::int32_t best : {24500, 24900, 22000, -25000}) {
    for (const PlotShape& shape : {kWideHistogram, kNarrowHistogram}) {
      const std::string svg = ScoreHistogramSvg(scores, {best, 0}, shape, "wide");
      for (auto mark = std::sregex_iterator(svg.begin(), svg.end(), line);
           mark != std::sregex_iterator(); ++mark) {
        const double x = std::stod((*mark)[2]);
        const double end = std::stod((*mark)[3]);
        for (auto circle = std::sregex_iterator(svg.begin(), svg.end(), dot);
             circle != std::sregex_iterator(); ++circle) {
          const double r = std::stod((*circle)[3]);
          if (std::abs(std::stod((*circle)[1]) - x) < r) {
            EXPECT_LT(end, std::stod((*circle)[2]) - r) << (*mark)[1] << " at " << best;
          }
        }
      }
    }
  }
}

// What the page says about the best setting: its values, and where it was
// saved with how many values changed, or how to save it.
struct SaveCase {
  const char* name;
  int savedSet;
  const char* says;
  const char* neverSays;
};

class TuningPageSave : public ::testing::TestWithParam<SaveCase> {};

TEST_P(TuningPageSave, SaysWhatBecameOfTheBestSetting) {
  const Tuning t = TuningOfRules();
  const std::string page = BuildTuningPage(t, {GetParam().savedSet, 3});
  EXPECT_EQ(page.rfind("<!DOCTYPE html>\n<html lang=\"ja\">", 0), 0u);
  EXPECT_THAT(page, HasSubstr("停止定数は「457」"));
  EXPECT_THAT(page, HasSubstr(">3.28<"));
  EXPECT_THAT(page, HasSubstr(">0.04<"));
  EXPECT_THAT(page, HasSubstr(">14.29<"));
  EXPECT_THAT(page, HasSubstr(">最高速<"));
  EXPECT_THAT(page, HasSubstr("第6001〜7088回"));
  EXPECT_THAT(page, HasSubstr(GetParam().says));
  EXPECT_THAT(page, Not(HasSubstr(GetParam().neverSays)));
}

// The page leads with the adjusted p-value and the hold-out, counts rules,
// not settings tried, and names its columns by what they count.
TEST(TuningPage, LeadsWithTheAdjustedPAndTheHoldOut) {
  const std::string page = BuildTuningPage(TuningOfRules(), {});
  const std::size_t adjusted = page.find(
      "調整済み p値）：</strong>0.2741（偶然だけの履歴 10,000 通りのうち 2,741 通り。95% "
      "上限 0.2815）");
  ASSERT_NE(adjusted, std::string::npos);
  EXPECT_LT(adjusted, page.find("<h2>"));
  EXPECT_LT(page.find("<strong>検証：</strong>見つけたルールの当選 52 回"), page.find("<h2>"));
  EXPECT_THAT(page, HasSubstr("100 通りからいちばんよいものを選んだ値"));
  EXPECT_THAT(page, Not(HasSubstr("20,000")));
  EXPECT_THAT(page, HasSubstr("data-label=\"数えた回\">5999</td>"));
  EXPECT_THAT(page, HasSubstr("data-label=\"検証した回\">1088</td>"));
  EXPECT_THAT(page, HasSubstr("何度も試したことになり"));
  // One dot per rule in each drawing.
  const std::string wide = page.substr(page.find("<svg class=\"wide\""));
  EXPECT_EQ(SettingsInBars(wide.substr(0, wide.find("</svg>"))), 100);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, TuningPageSave,
    ::testing::Values(
        SaveCase{"NotSaved", -1, "この設定はどのタイプにも保存していません", "に保存しました"},
        SaveCase{"SavedIntoThirdSet", 2,
                 "タイプ３に保存しました（その設定から 3 個の値を変えました", "--save-to"}),
    [](const ::testing::TestParamInfo<SaveCase>& info) { return std::string(info.param.name); });

// What the page concludes from the adjusted p-value, the hold-out's p-value
// and whether the hold-out was long enough to see the training rate; the
// invitation to save comes only where the evidence supports the rule.
struct VerdictCase {
  const char* name;
  bool trainingUnusual;
  bool holdoutLong;
  bool holdoutUnusual;
  const char* says;
  bool invites;
};

class TuningVerdict : public ::testing::TestWithParam<VerdictCase> {};

TEST_P(TuningVerdict, WeighsTrainingHoldOutAndItsLength) {
  const VerdictCase& c = GetParam();
  Tuning t = TuningOfRules();
  t.adjusted = c.trainingUnusual ? AdjustedP{0.00004, true, 0, 0, 0.00004, false}
                                 : AdjustedP{0.3121, true, 0, 0, 0.3121, false};
  t.holdoutDrawsNeeded = c.holdoutLong ? 640 : 2650;
  t.holdoutBest.summary.pValue = c.holdoutUnusual ? 0.0123 : 0.1594;
  const std::string page = BuildTuningPage(t, {});
  const std::string verdict = page.substr(page.find("<strong>判定：</strong>"));
  EXPECT_THAT(verdict.substr(0, verdict.find("</p>")), HasSubstr(c.says));
  EXPECT_THAT(page, HasSubstr(c.holdoutLong ? "約 640 回が必要です（検証は 1,088 回）"
                                            : "約 2,650 回が必要です（検証は 1,088 回）"));
  if (c.invites) {
    EXPECT_THAT(page, HasSubstr("<span class=\"nobr\">--save-to T</span>"));
    EXPECT_THAT(page, Not(HasSubstr("過去に合わせるだけ")));
  } else {
    EXPECT_THAT(page, Not(HasSubstr("--save-to")));
    EXPECT_THAT(page, HasSubstr("保存しても過去に合わせるだけです"));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Evidence, TuningVerdict,
    ::testing::Values(
        VerdictCase{"StrongLongUnusual", true, true, true, "２つの期間がそろって偶然を超えて",
                    true},
        VerdictCase{"StrongShortUnusual", true, false, true, "２つの期間がそろって偶然を超えて",
                    true},
        VerdictCase{"StrongLongWithinChance", true, true, false,
                    "80% の確率で見分けられる長さの検証", false},
        VerdictCase{"StrongShortWithinChance", true, false, false, "検証が短すぎて決められません",
                    true},
        VerdictCase{"WeakLongUnusual", false, true, true, "２つの期間がそろわない", false},
        VerdictCase{"WeakShortUnusual", false, false, true, "２つの期間がそろわない", false},
        VerdictCase{"WeakLongWithinChance", false, true, false, "考える根拠はありません", false},
        VerdictCase{"WeakShortWithinChance", false, false, false, "考える根拠はありません", false}),
    [](const ::testing::TestParamInfo<VerdictCase>& info) { return std::string(info.param.name); });

// The adjusted p-value as the page gives it: exact, or a simulated share
// with its count and 95 % bound, or only the bound when no history reached
// it; a simulated value counts as unusual only when its bound is below 0.05.
struct AdjustedCase {
  const char* name;
  AdjustedP adjusted;
  const char* says;
  bool unusual;
};

class AdjustedFigures : public ::testing::TestWithParam<AdjustedCase> {};

TEST_P(AdjustedFigures, SayWhetherExactAndHowSure) {
  Tuning t = TuningOfRules();
  t.adjusted = GetParam().adjusted;
  const std::string page = BuildTuningPage(t, {});
  EXPECT_THAT(page, HasSubstr(std::string("調整済み p値）：</strong>") + GetParam().says));
  EXPECT_EQ(WeighEvidence(t).trainingUnusual, GetParam().unusual);
}

INSTANTIATE_TEST_SUITE_P(
    Values, AdjustedFigures,
    ::testing::Values(
        AdjustedCase{"Exact", {0.718976, true, 0, 0, 0.718976, false}, "0.7190（正確な値）", false},
        AdjustedCase{"NoneReached",
                     {0, false, 10000, 0, 0.000299, false},
                     "&lt;&nbsp;0.0003（95% 上限。偶然だけの履歴 10,000 通りのうち 0 通り）",
                     true},
        AdjustedCase{"BoundAcrossTheLevel",
                     {0.0470, false, 10000, 470, 0.0507, false},
                     "0.0470（偶然だけの履歴 10,000 通りのうち 470 通り。95% 上限 0.0507）",
                     false}),
    [](const ::testing::TestParamInfo<AdjustedCase>& info) {
      return std::string(info.param.name);
    });

}  // namespace
}  // namespace kitebar
