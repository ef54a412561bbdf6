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

Tuning TuningWithScores(std::vector<std::int32_t> scores, std::int32_t best) {
  Tuning t;
  t.request.trainTo = 6000;
  t.request.search = {20000, 1, 2};
  t.count = 7088;
  t.currentSet = 1;
  t.stepNum = 40;
  t.diameter = 30.0f;
  t.search.tried = static_cast<int>(scores.size());
  t.search.excessThousandths = std::move(scores);
  t.search.distinctRules = 37;
  t.search.best = {{4, 5, 7, 328, 393, 4, 1429, 1306, 1321, 3, 4, 3}};
  t.trainBest = {{2, 6000}, 5999, KindSummary{274, 274 - best / 1000.0, 0.0529, 0, 0}};
  t.trainCurrent = {{2, 6000}, 5999, KindSummary{262, 248.53, 0.1994, 0, 0}};
  t.holdoutBest = {{6001, 7088}, 1088, KindSummary{52, 44.96, 0.1594, 0, 0}};
  t.holdoutCurrent = {{6001, 7088}, 1088, KindSummary{57, 44.95, 0.0430, 0, 0}};
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

// What the page says about the best setting: its values, where it was
// saved, or that a stopped search saved nothing.
struct SaveCase {
  const char* name;
  bool stopped;
  int savedSet;
  const char* says;
  const char* neverSays;
};

class TuningPageSave : public ::testing::TestWithParam<SaveCase> {};

TEST_P(TuningPageSave, SaysWhatBecameOfTheBestSetting) {
  Tuning t = TuningWithScores({-1000, 26180}, 26180);
  t.search.stopped = GetParam().stopped;
  const std::string page = BuildTuningPage(t, {GetParam().savedSet});
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

INSTANTIATE_TEST_SUITE_P(
    Outcomes, TuningPageSave,
    ::testing::Values(
        SaveCase{"NotSaved", false, -1,
                 "kitebar-cli tune --train-to 6000 --kind box --budget 20000 --seed 1 "
                 "--save-to T",
                 "に保存しました"},
        SaveCase{"SavedIntoThirdSet", false, 2, "タイプ３に保存しました", "--save-to"},
        SaveCase{"Stopped", true, -1, "途中で止めました", "--save-to"}),
    [](const ::testing::TestParamInfo<SaveCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kitebar
