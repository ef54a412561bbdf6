#include "reports/EvaluationPage.h"

#include <array>
#include <cmath>

#include "common/AtomicFile.h"
#include "common/NumberText.h"
#include "reports/AnalysisPage.h"
#include "reports/CoursePlot.h"

namespace kitebar {
namespace {

std::string Lead(const Evaluation& e) {
  std::string lead = "<p class=\"lead\">" + TypeName(e.settingsType) + "の設定で、" +
                     DrawName(e.range.from) + "から" + DrawName(e.range.to) + "までの " +
                     FormatInt(e.draws) + " 回を検証しました";
  if (e.skipped > 0)
    lead +=
        "（当選番号が欠けているなどで検証できない " + FormatInt(e.skipped) + " 回は除きました）";
  lead += "。</p>\n<p class=\"lead\">";
  if (e.positions == PositionSource::kEstimated) {
    lead +=
        "各回の予想番号１０通りは、前の回の当選番号から推定した風車位置で作り直したもので、"
        "その回より後のことは何も使っていません（保存された風車位置は使っていません）。";
  } else {
    lead += "保存された風車位置がある回はそれを使い（" + FormatInt(e.storedPositions) +
            " 回、うち決定 " + FormatInt(e.decidedPositions) +
            " 回）、ない回は前の回の当選番号から推定しました。決定した風車位置は抽選の後に入れた"
            "ものかもしれないので、その回の成績は割り引いて見てください。";
  }
  return lead + "</p>\n";
}

std::string KindRows(const Evaluation& e) {
  std::string rows =
      "<table class=\"cards\">\n<thead><tr><th>種類</th><th>検証した回</th><th>当選</th>"
      "<th>偶然の期待値</th><th>偶然の95%範囲</th><th>p値</th><th>判定</th></tr></thead>\n"
      "<tbody>\n";
  for (int kind = 0; kind < kHitKindCount; ++kind) {
    const KindSummary& s = e.kinds[static_cast<std::size_t>(kind)];
    rows += "<tr>" + Cell("種類", kKindLooks[static_cast<std::size_t>(kind)].name, "name") +
            Cell("検証した回", FormatInt(e.draws)) + Cell("当選", FormatInt(s.hits) + " 回") +
            Cell("偶然の期待値", FormatExpected(s.expected) + " 回") +
            Cell("偶然の95%範囲", FormatInt(s.chanceLow) + "〜" + FormatInt(s.chanceHigh) + " 回") +
            Cell("p値", FormatPValue(s.pValue)) +
            Cell("判定", VerdictOf(s.pValue), VerdictClass(s.pValue)) + "</tr>\n";
  }
  return rows + "</tbody>\n</table>\n";
}

std::string Courses(const Evaluation& e) {
  std::string html =
      "<p>各回までの当選数から、偶然で当たる回数の期待値を引いた値です。0 の点線より上なら偶然"
      "より多く、灰色の帯は偶然だけでも 95% の確率で収まる範囲です。</p>\n"
      "<div class=\"plots\">\n";
  for (int kind = 0; kind < kHitKindCount; ++kind) {
    const KindLook& look = kKindLooks[static_cast<std::size_t>(kind)];
    const std::vector<CoursePoint>& course = e.courses[static_cast<std::size_t>(kind)];
    html += "<figure>\n" + CoursePlotSvg(course, look.name, look.colour, kWidePlot, "wide") +
            CoursePlotSvg(course, look.name, look.colour, kNarrowPlot, "narrow") + "</figure>\n";
  }
  return html + "</div>\n";
}

std::string SetComparison(const Evaluation& e) {
  std::string html =
      "<p>同じ回を５つのタイプそれぞれで検証した結果です（p値は偶然でこれ以上当たる確率）。"
      "</p>\n<table class=\"cards\">\n<thead><tr><th>タイプ</th>";
  for (const KindLook& look : kKindLooks) {
    html +=
        "<th>" + std::string(look.name) + "<br>当選 / 期待値</th><th>" + look.name + "<br>p値</th>";
  }
  html += "</tr></thead>\n<tbody>\n";
  for (int set = 0; set < kSettingsTypeCount; ++set) {
    const bool chosen = set == e.settingsType;
    html += std::string(chosen ? "<tr class=\"chosen\">" : "<tr>") +
            Cell("タイプ", TypeName(set) + (chosen ? "（検証中）" : ""), "name");
    for (int kind = 0; kind < kHitKindCount; ++kind) {
      const KindSummary& s = e.sets[static_cast<std::size_t>(set)][static_cast<std::size_t>(kind)];
      const std::string name = kKindLooks[static_cast<std::size_t>(kind)].name;
      html +=
          Cell(name + " 当選 / 期待値", FormatInt(s.hits) + " / " + FormatExpected(s.expected)) +
          Cell(name + " p値", FormatPValue(s.pValue));
    }
    html += "</tr>\n";
  }
  return html +
         "</tbody>\n</table>\n<p class=\"note\">注意：５つのタイプから成績のいちばんよいものを選ぶ"
         "と、偶然だけでもどれかのp値は小さく出やすくなります。選んだタイプの結果が１つだけ検証"
         "したときと同じ重みを持つには、p値が５分の１（0.05 なら 0.01）より小さいことが必要です。"
         "</p>\n";
}

constexpr char kReading[] =
    "<dl>\n"
    "<dt>偶然の期待値</dt><dd>当選番号が 000〜999 から偶然に選ばれるとしたときに、その回に出した"
    "予想番号で当たる確率（ストレートは予想番号の数 ÷ 1000、ボックスは予想番号の並べ替えのうち"
    "予想番号でないものの数 ÷ 1000、ミニは下２桁の種類 ÷ 100）を、検証した回すべてについて足した"
    "ものです。</dd>\n"
    "<dt>偶然の95%範囲</dt><dd>偶然だけなら当選の回数が 95% の確率で収まる範囲です。</dd>\n"
    "<dt>p値</dt><dd>偶然だけで、実際の当選回数以上に当たる確率です。近似ではなく、各回の確率から"
    "正確に計算しています。0.05 より小さければ「偶然では珍しい」多さです。</dd>\n"
    "</dl>\n";

}  // namespace

std::string VerdictOf(double pValue) {
  if (pValue >= kSignificance)
    return "偶然の範囲内です";
  std::string rarity;
  if (pValue < kSmallestShownPValue) {
    rarity = "偶然だけでこの回数以上当たるのは、１万回に１回もない珍しさです。";
  } else {
    rarity = "偶然だけでこの回数以上当たるのは、約 " + FormatInt(std::llround(1.0 / pValue)) +
             " 回に１回の珍しさです。";
  }
  return rarity +
         "ただし、検証をいくつも行えば、そのうちの１つが偶然で 0.05 を下回ることはときどき"
         "あります。";
}

std::string BuildEvaluationPage(const Evaluation& evaluation) {
  std::string page = AnalysisPageHead("成績の検証");
  page += "<h1>成績の検証：予想は偶然より当たっているか</h1>\n";
  page += Lead(evaluation);
  page += "<h2>種類ごとの成績</h2>\n" + KindRows(evaluation);
  page += "<h2>当選−期待値の推移</h2>\n" + Courses(evaluation);
  page += "<h2>５つのタイプの比較</h2>\n" + SetComparison(evaluation);
  page += "<h2>数字の読み方</h2>\n";
  page += kReading;
  page += AnalysisPageFoot();
  return page;
}

Status WriteEvaluationPage(const std::filesystem::path& file, const Evaluation& evaluation) {
  if (Status written = WriteFileAtomically(file, BuildEvaluationPage(evaluation)); !written.ok()) {
    return Status::Failure(file.string() + " に書き込めません。" + written.message() +
                           "。フォルダーの書き込み権限と空き容量を確かめてから、もう一度実行して"
                           "ください。");
  }
  return Status::Ok();
}

}  // namespace kitebar
