#include "reports/TuningPage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
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
  t.adjusted = {0.2741, 0.0045, 10000, false};
  t.trainBest = {{2, 6000}, 5999, KindSummary{349, 250.0, 0.104, 0, 0, 270}};
  t.trainCurrent = {{2, 6000}, 5999, KindSummary{257, 250.0, 0.1994, 0, 0, 270}};
  t.holdoutBest = {{6001, 7088}, 1088, KindSummary{52, 44.96, 0.1594, 0, 0, 56}};
  t.holdoutCurrent = {{6001, 7088}, 1088, KindSummary{57, 44.95, 0.0430, 0, 0, 56}};
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
  const std::size_t adjusted =
      page.find("調整済み p値）：</strong>0.2741（モンテカルロ標準誤差 ±0.0045）");
  ASSERT_NE(adjusted, std::string::npos);
  EXPECT_LT(adjusted, page.find("<h2>"));
  EXPECT_LT(page.find("<strong>検証：</strong>見つけたルールの当選 52 回"), page.find("<h2>"));
  EXPECT_THAT(page, HasSubstr("100 通りからいちばんよいものを選んだ値"));
  EXPECT_THAT(page, Not(HasSubstr("20,000")));
  EXPECT_THAT(page, HasSubstr("data-label=\"数えた回\">5999</td>"));
  EXPECT_THAT(page, HasSubstr("data-label=\"検証した回\">1088</td>"));
  EXPECT_THAT(page, HasSubstr("何度も試したことになり"));
  EXPECT_THAT(page, HasSubstr("<span class=\"nobr\">--train-to 6000</span>"));
  // One dot per rule in each drawing.
  const std::string wide = page.substr(page.find("<svg class=\"wide\""));
  EXPECT_EQ(SettingsInBars(wide.substr(0, wide.find("</svg>"))), 100);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, TuningPageSave,
    ::testing::Values(
        SaveCase{"NotSaved", -1, "<span class=\"nobr\">--save-to T</span>", "に保存しました"},
        SaveCase{"SavedIntoThirdSet", 2,
                 "タイプ３に保存しました（その設定から 3 個の値を変えました", "--save-to"}),
    [](const ::testing::TestParamInfo<SaveCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kitebar
