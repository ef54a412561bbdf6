#include "reports/TuningPage.h"

#include <array>
#include <cmath>

#include "common/AtomicFile.h"
#include "common/NumberText.h"
#include "reports/AnalysisPage.h"
#include "reports/EvaluationPage.h"
#include "reports/ScoreHistogram.h"

namespace kitebar {
namespace {

constexpr std::array<const char*, kPlacesPerTriple> kPlaceNames{"百桁", "十桁", "一桁"};
constexpr std::array<const char*, kSpeedIndexCount> kSpeedWords{"最低速", "低速", "普通", "高速",
                                                                "最高速"};
constexpr std::array<const char*, kHitKindCount> kKindWords{"straight", "box", "mini"};

std::string KindName(const Tuning& t) {
  return kKindLooks[static_cast<std::size_t>(t.request.kind)].name;
}

std::string Point(int hundredths) {
  return FormatFixed(hundredths / 100.0, 2);
}

std::string RangeName(DrawRange range) {
  return "第" + FormatInt(range.from) + "〜" + FormatInt(range.to) + "回";
}

// A count with a comma every three digits: 20,000.
std::string Grouped(long long count) {
  const std::string digits = FormatInt(count);
  std::string grouped;
  for (std::size_t at = 0; at < digits.size(); ++at) {
    if (at > 0 && (digits.size() - at) % 3 == 0)
      grouped += ',';
    grouped += digits[at];
  }
  return grouped;
}

std::string StopConstant(const SearchedSetting& best) {
  std::string text;
  for (int offset = 0; offset < kPlacesPerTriple; ++offset)
    text += static_cast<char>('0' + best.Value(SearchedKind::kStopDigit, offset));
  return text;
}

std::string CommandLine(const Tuning& t) {
  return "kitebar-cli tune --train-to " + FormatInt(t.request.trainTo) + " --kind " +
         kKindWords[static_cast<std::size_t>(t.request.kind)] + " --budget " +
         FormatInt(t.request.search.budget) + " --seed " + std::to_string(t.request.search.seed);
}

std::string Lead(const Tuning& t) {
  const SearchResult& s = t.search;
  std::string lead =
      "<p class=\"lead\">" + KindName(t) + "の当たりについて、" + RangeName(t.trainBest.range) +
      "（学習）で当選回数から偶然の期待値を引いた値がいちばん大きい設定を、" + Grouped(s.tried) +
      " 通りの設定から探しました（乱数の種 " + std::to_string(t.request.search.seed) +
      "）。見つけた設定を、探索では一度も使っていない" + RangeName(t.holdoutBest.range) +
      "（検証）で確かめ、今の設定（" + TypeName(t.currentSet) +
      "、予想に使っている設定）と比べました。</p>\n";
  lead += "<p class=\"lead\">試した " + Grouped(s.tried) +
          " 通りの設定は、各回に出す予想番号の組"
          "としては " +
          FormatInt(s.distinctRules) +
          " 通りにまとまります（どの設定でも、予想番号の組は前の回の当選番号と 100 通りの出し方の"
          "どれかで決まり、値の違う設定の多くが同じ組を出すためです）。</p>\n";
  if (s.stopped) {
    lead += "<p class=\"note\">途中で止めました。予定の " + Grouped(t.request.search.budget) +
            " 通りのうち " + Grouped(s.tried) +
            " 通りを試したところまでの結果です。見つけた設定はどのタイプにも保存していません。"
            "</p>\n";
  }
  return lead;
}

std::string BestValues(const Tuning& t, TuningSave save) {
  const SearchedSetting& best = t.search.best;
  std::string html =
      "<table class=\"cards\">\n<thead><tr><th>桁</th><th>停止定数</th><th>開始→到達</th>"
      "<th>開始→的中</th><th>速度</th></tr></thead>\n<tbody>\n";
  for (int offset = 0; offset < kPlacesPerTriple; ++offset) {
    const auto speed = static_cast<std::size_t>(best.Value(SearchedKind::kSpeed, offset));
    html += "<tr>" + Cell("桁", kPlaceNames[static_cast<std::size_t>(offset)], "name") +
            Cell("停止定数", FormatInt(best.Value(SearchedKind::kStopDigit, offset))) +
            Cell("開始→到達", Point(best.Value(SearchedKind::kReachPoint, offset))) +
            Cell("開始→的中", Point(best.Value(SearchedKind::kHitPoint, offset))) +
            Cell("速度", kSpeedWords[speed]) + "</tr>\n";
  }
  html += "</tbody>\n</table>\n<p>停止定数は「" + StopConstant(best) + "」です。ステップ値 " +
          FormatInt(t.stepNum) + " とマトの有効直径 " + FormatFixed(t.diameter, 1) +
          "（./base.ini、すべてのタイプに共通）と千桁の値は探していません。</p>\n";
  if (save.set >= 0) {
    html += "<p>この設定を" + TypeName(save.set) +
            "に保存しました（「シミュレート設定」の「更新」と同じ書き方です）。</p>\n";
  } else if (!t.search.stopped) {
    html +=
        "<p>この設定はどのタイプにも保存していません。保存するには「シミュレート設定」で入力して"
        "「更新」を押すか、<code>" +
        CommandLine(t) + " --save-to T</code>（T はタイプの番号 1〜5）を実行してください。</p>\n";
  }
  return html;
}

std::string ResultRow(std::string_view name, const RangeResult& result, std::string_view verdict,
                      std::string_view verdictClass, bool chosen) {
  const KindSummary& s = result.summary;
  return std::string(chosen ? "<tr class=\"chosen\">" : "<tr>") + Cell("設定", name, "name") +
         Cell("範囲", RangeName(result.range), "range") +
         Cell("検証した回", FormatInt(result.draws)) + Cell("当選（回）", FormatInt(s.hits)) +
         Cell("偶然の期待値（回）", FormatExpected(s.expected)) +
         Cell("p値", FormatPValue(s.pValue)) + Cell("判定", verdict, verdictClass) + "</tr>\n";
}

std::string Results(const Tuning& t) {
  const std::string current = "今の設定（" + TypeName(t.currentSet) + "）";
  std::string html =
      "<table class=\"cards\">\n<thead><tr><th>設定</th><th>範囲</th><th>検証した回</th>"
      "<th>当選（回）</th><th>偶然の期待値（回）</th><th>p値</th><th>判定</th></tr></thead>\n"
      "<tbody>\n";
  html += ResultRow("見つけた設定・学習", t.trainBest,
                    Grouped(t.search.tried) +
                        " 通りからいちばんよいものを選んだ値なので、これだけでは判定できません",
                    "verdict", false);
  html += ResultRow(current + "・学習", t.trainCurrent, VerdictOf(t.trainCurrent.summary.pValue),
                    VerdictClass(t.trainCurrent.summary.pValue), false);
  html += ResultRow("見つけた設定・検証", t.holdoutBest, VerdictOf(t.holdoutBest.summary.pValue),
                    VerdictClass(t.holdoutBest.summary.pValue), true);
  html +=
      ResultRow(current + "・検証", t.holdoutCurrent, VerdictOf(t.holdoutCurrent.summary.pValue),
                VerdictClass(t.holdoutCurrent.summary.pValue), false);
  return html + "</tbody>\n</table>\n";
}

std::int64_t Thousandths(double hits) {
  return std::llround(hits * kChanceDenominator);
}

std::string Distribution(const Tuning& t) {
  const HistogramMarks marks{
      Thousandths(t.trainBest.summary.hits - t.trainBest.summary.expected),
      Thousandths(t.trainCurrent.summary.hits - t.trainCurrent.summary.expected)};
  return "<p>試した " + Grouped(t.search.tried) +
         " 通りの設定それぞれの、学習での当選−期待値です。赤い線が見つけた設定、青い点線が今の"
         "設定、0 の点線が偶然どおりのところです。</p>\n<figure>\n" +
         ScoreHistogramSvg(t.search.excessThousandths, marks, kWideHistogram, "wide") +
         ScoreHistogramSvg(t.search.excessThousandths, marks, kNarrowHistogram, "narrow") +
         "</figure>\n";
}

std::string HoldoutSentence(const Tuning& t) {
  const KindSummary& s = t.holdoutBest.summary;
  std::string sentence = "検証では、見つけた設定の当選は " + FormatInt(s.hits) +
                         " 回、偶然の期待値は " + FormatExpected(s.expected) + " 回、p値は " +
                         FormatPValue(s.pValue) + " でした。";
  if (s.pValue >= kSignificance) {
    return sentence +
           "偶然の範囲内です。学習でのよさは、その期間にたまたま合っていただけと考えるのが自然"
           "です。";
  }
  return sentence + VerdictOf(s.pValue);
}

std::string Reading(const Tuning& t) {
  return "<p class=\"note\">学習での p値（" + FormatPValue(t.trainBest.summary.pValue) + "）は、" +
         Grouped(t.search.tried) +
         " 通りを試していちばんよかった設定のものです。偶然だけでも、たくさん試せばどれかの "
         "p値は小さくなるので、この値だけではほとんど何も言えません。意味があるのは検証の p値"
         "です。検証の回は探索で一度も使っていないので、前もって１つの設定を決めてから確かめた"
         "のと同じ重みを持ちます。</p>\n<p class=\"note\">" +
         HoldoutSentence(t) + "</p>\n";
}

}  // namespace

std::string BuildTuningPage(const Tuning& tuning, TuningSave save) {
  std::string page = AnalysisPageHead("設定の探索");
  page += "<h1>設定の探索：過去にいちばん当たった設定は、その後も当たるか</h1>\n";
  page += Lead(tuning);
  page += "<h2>見つけた設定</h2>\n" + BestValues(tuning, save);
  page += "<h2>学習と検証の成績</h2>\n" + Results(tuning);
  page += "<h2>学習での成績の分布</h2>\n" + Distribution(tuning);
  page += "<h2>この結果の読み方</h2>\n" + Reading(tuning);
  page += AnalysisPageFoot();
  return page;
}

Status WriteTuningPage(const std::filesystem::path& file, const Tuning& tuning, TuningSave save) {
  if (Status written = WriteFileAtomically(file, BuildTuningPage(tuning, save)); !written.ok()) {
    return Status::Failure(file.string() + " に書き込めません。" + written.message() +
                           "。フォルダーの書き込み権限と空き容量を確かめてから、もう一度実行して"
                           "ください。");
  }
  return Status::Ok();
}

}  // namespace kitebar
