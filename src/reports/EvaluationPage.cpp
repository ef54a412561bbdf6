#include "reports/EvaluationPage.h"

#include <array>
#include <cmath>

#include "common/AtomicFile.h"
#include "common/NumberText.h"
#include "engine/SimultaneousBand.h"
#include "reports/AnalysisPage.h"
#include "reports/CoursePlot.h"
#include "reports/RecordSection.h"

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
        "その回の当選番号も、それより後のことも何も使っていません（保存された風車位置は使って"
        "いません）。";
  } else {
    lead += "保存された風車位置がある回はそれを使い（" + FormatInt(e.storedPositions) +
            " 回、うち決定 " + FormatInt(e.decidedPositions) +
            " 回）、ない回は前の回の当選番号から推定しました。決定した風車位置は抽選の後に入れた"
            "ものかもしれないので、その回の成績は割り引いて見てください。";
  }
  return lead + "</p>\n";
}

std::string KindRow(std::string_view name, int draws, const KindSummary& s) {
  return "<tr>" + Cell("種類", name, "name") + Cell("検証した回", FormatInt(draws)) +
         Cell("当選", FormatInt(s.hits) + " 回") +
         Cell("偶然の期待値", FormatExpected(s.expected) + " 回") +
         Cell("偶然なら95%以上はこの数以下", FormatInt(s.chanceBound) + " 回") +
         Cell("p値", FormatPValue(s.pValue)) +
         Cell("判定", VerdictOf(s.pValue), VerdictClass(s.pValue)) + "</tr>\n";
}

std::string KindRows(const Evaluation& e) {
  std::string rows =
      "<table class=\"cards\">\n<thead><tr><th>種類</th><th>検証した回</th><th>当選</th>"
      "<th>偶然の期待値</th><th>偶然なら95%以上はこの数以下</th><th>p値</th><th>判定</th></tr>"
      "</thead>\n<tbody>\n";
  const int wholeDraws = e.wholeRange.to - e.wholeRange.from + 1;
  for (int kind = 0; kind < kHitKindCount; ++kind) {
    const std::string name = kKindLooks[static_cast<std::size_t>(kind)].name;
    rows += KindRow(name, e.draws, e.kinds[static_cast<std::size_t>(kind)]);
    if (e.wholeHistoryShown)
      rows += KindRow(name + "・全期間", wholeDraws, e.whole[static_cast<std::size_t>(kind)]);
  }
  rows += "</tbody>\n</table>\n";
  rows +=
      "<p>「偶然なら95%以上はこの数以下」は、当選が偶然だけで決まるなら 95% 以上の確率でこの"
      "回数以下に収まる、という片側の上限です。p値と同じ向きの見方なので、当選がこの数を超えた"
      "ときに限り p値は 0.05 を下回り、判定と食い違うことはありません。</p>\n";
  if (e.wholeHistoryShown) {
    rows +=
        "<p class=\"note\">範囲を指定して検証しました。結果を見てから選んだ範囲は公平な検証に"
        "なりません（よく当たった期間だけを選べば、偶然でも p値は小さくなります）。比べるために、"
        "検証できるすべての回（全期間、" +
        DrawName(e.wholeRange.from) + "〜" + DrawName(e.wholeRange.to) +
        "）の行も並べました。</p>\n";
  }
  return rows;
}

std::string Courses(const Evaluation& e) {
  std::string html =
      "<p>各回までの当選数から、偶然で当たる回数の期待値を引いた値です。0 の点線より上にある"
      "のは、そこまでの当選が偶然の平均より多いということですが、偶然だけでもおよそ半分の確率で"
      "そうなります。偶然より当たっているかどうかは、上の表の p値で見てください。</p>\n"
      "<p>帯は２つあります。濃い灰色の帯（回ごとの帯）は、その回だけを見たときに、偶然だけでも"
      " 95% の確率で収まる範囲です。偶然だけの線でも、途中のどこかで一度はこの帯の外に出ることが"
      "３回に１回ほどあるので、一度外に出ただけでは何も言えません。薄い灰色の帯（全体の帯）は、"
      "偶然だけなら線が最初から最後までずっと収まっている確率が 95% になる範囲です。ストレートと"
      "ミニは、偶然だけの履歴を " +
      FormatGrouped(kBandHistories) +
      " 通り作って求めました。ボックスは前の回の当選番号で次の回の当たりやすさが変わるので、"
      "当選番号を 000〜999 から偶然に選び、その番号から予想を出し直す履歴を " +
      FormatGrouped(kProcessBandHistories) +
      " 通り作り、外に出る線が 5% を超えない（95% の確かさで）幅にしました。乱数の種は決まって"
      "いて、何度実行しても同じ帯です。線がこの帯から外に出たら、偶然では珍しい動きです。</p>\n"
      "<div class=\"plots\">\n";
  for (int kind = 0; kind < kHitKindCount; ++kind) {
    const KindLook& look = kKindLooks[static_cast<std::size_t>(kind)];
    const std::vector<CoursePoint>& course = e.courses[static_cast<std::size_t>(kind)];
    html += "<figure>\n" + CoursePlotSvg(course, look.name, look.colour, kWidePlot, "wide") +
            CoursePlotSvg(course, look.name, look.colour, kNarrowPlot, "narrow") + "</figure>\n";
  }
  return html + "</div>\n";
}

// Which sets offered the same candidates as an earlier one on every draw,
// grouped under the first of them.
std::string IdenticalSets(const Evaluation& e) {
  std::string groups;
  for (int first = 0; first < kSettingsTypeCount; ++first) {
    std::string followers;
    for (int set = first + 1; set < kSettingsTypeCount; ++set) {
      if (e.sameAs[static_cast<std::size_t>(set)] == first)
        followers += (followers.empty() ? "" : "・") + TypeName(set);
    }
    if (!followers.empty())
      groups += (groups.empty() ? "" : "、") + followers + "は" + TypeName(first) + "と";
  }
  if (groups.empty())
    return groups;
  return groups +
         "、検証したどの回でも同じ予想番号を出したので、結果も同じです（同じ結果の p値は、別々の"
         "証拠にはなりません）。";
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
  constexpr int kShownPValues = kHitKindCount * kSettingsTypeCount;
  return html + "</tbody>\n</table>\n<p class=\"note\">注意：この表には p値が " +
         FormatInt(kShownPValues) + " 個（" + FormatInt(kHitKindCount) + " 種類 × " +
         FormatInt(kSettingsTypeCount) + " タイプ）あります。偶然だけでも、" +
         FormatInt(kShownPValues) + " 個のうち平均 " +
         FormatFixed(kShownPValues * kSignificance, 2) + " 個は 0.05 を下回ります。" +
         IdenticalSets(e) +
         "５つのタイプから成績のいちばんよいものを選ぶと、偶然だけでもどれかのp値は小さく出やすく"
         "なります。選んだタイプの結果が１つだけ検証したときと同じ重みを持つには、p値が５分の１"
         "（0.05 なら 0.01）より小さいことが必要です。</p>\n";
}

constexpr char kReading[] =
    "<dl>\n"
    "<dt>偶然の期待値</dt><dd>当選番号が 000〜999 から偶然に選ばれるとしたときに、その回に出した"
    "予想番号で当たる確率（ストレートは予想番号のうち異なる番号の数 ÷ 1000、ボックスは予想番号の"
    "並べ替えのうち"
    "予想番号でないものの数 ÷ 1000、ミニは下２桁の種類 ÷ 100）を、検証した回すべてについて足した"
    "ものです。</dd>\n"
    "<dt>偶然なら95%以上はこの数以下</dt><dd>偶然だけなら当選の回数が 95% 以上の確率でこの数"
    "以下に収まる、という上限です。当選がこれを超えたときに限り p値は 0.05 を下回ります。</dd>\n"
    "<dt>p値</dt><dd>偶然だけで、実際の当選回数以上に当たる確率です。近似ではなく、各回の確率から"
    "正確に計算しています。0.05 より小さければ「偶然では珍しい」多さです。0.05 以上なら「偶然と"
    "見分けがつかない」ということで、偶然だと決まったわけではありません。</dd>\n"
    "</dl>\n";

}  // namespace

std::string VerdictOf(double pValue) {
  if (pValue >= kSignificance)
    return "偶然と見分けがつきません";
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

std::string BuildEvaluationPage(const Evaluation& evaluation, const LiveScore* live) {
  std::string page = AnalysisPageHead("成績の検証");
  page += "<h1>成績の検証：予想は偶然より当たっているか</h1>\n";
  if (live != nullptr)
    page += LiveRecordSection(*live);
  page += Lead(evaluation);
  page += "<h2>種類ごとの成績</h2>\n" + KindRows(evaluation);
  page += "<h2>当選−期待値の推移</h2>\n" + Courses(evaluation);
  page += "<h2>５つのタイプの比較</h2>\n" + SetComparison(evaluation);
  page += "<h2>数字の読み方</h2>\n";
  page += kReading;
  page += AnalysisPageFoot();
  return page;
}

Status WriteEvaluationPage(const std::filesystem::path& file, const Evaluation& evaluation,
                           const LiveScore* live) {
  if (Status written = WriteFileAtomically(file, BuildEvaluationPage(evaluation, live));
      !written.ok()) {
    return written.Wrapped(file.string() + " に書き込めません。");
  }
  return Status::Ok();
}

}  // namespace kitebar
