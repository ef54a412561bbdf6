#include "reports/TuningPage.h"

#include <array>
#include <cmath>
#include <vector>

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

std::string RuleCount(const Tuning& t) {
  return FormatInt(static_cast<long long>(t.rules.size()));
}

std::string StopConstant(const SearchedSetting& best) {
  std::string text;
  for (int offset = 0; offset < kPlacesPerTriple; ++offset)
    text += static_cast<char>('0' + best.Value(SearchedKind::kStopDigit, offset));
  return text;
}

// The command, broken only between its options.
std::string CommandLine(const Tuning& t) {
  const auto piece = [](std::string_view text) {
    return "<span class=\"nobr\">" + std::string(text) + "</span> ";
  };
  return piece("kitebar-cli tune") + piece("--train-to " + FormatInt(t.request.trainTo)) +
         piece(std::string("--kind ") + kKindWords[static_cast<std::size_t>(t.request.kind)]) +
         piece("--save-to T");
}

// A bound rounded up at its last shown decimal, so that "below" stays true.
std::string BoundFigure(double bound) {
  return FormatFixed(std::ceil(bound * 1e4 - 1e-9) / 1e4, 4);
}

// The adjusted p-value alone: exact, the simulated share, or the bound when
// no simulated history reached it.
std::string AdjustedValue(const AdjustedP& adjusted) {
  if (!adjusted.exact && adjusted.reached == 0)
    return "&lt;&nbsp;" + BoundFigure(adjusted.upperBound) + "（95% 上限）";
  return FormatPValue(adjusted.p);
}

std::string AdjustedFigure(const AdjustedP& adjusted) {
  if (adjusted.exact)
    return AdjustedValue(adjusted) + "（正確な値）";
  const std::string share = "偶然だけの履歴 " + FormatGrouped(adjusted.histories) + " 通りのうち " +
                            FormatGrouped(adjusted.reached) + " 通り";
  if (adjusted.reached == 0)
    return "&lt;&nbsp;" + BoundFigure(adjusted.upperBound) + "（95% 上限。" + share + "）";
  return FormatPValue(adjusted.p) + "（" + share + "。95% 上限 " +
         BoundFigure(adjusted.upperBound) + "）";
}

std::string Ratio(const Tuning& t) {
  const KindSummary& s = t.trainBest.summary;
  return FormatFixed(s.expected > 0 ? s.hits / s.expected : 0.0, 2);
}

// How long a hold-out it takes to see the training rate, beside the one
// there was.
std::string HoldoutLength(const Tuning& t) {
  if (t.holdoutDrawsNeeded == 0)
    return "学習でも、見つけたルールは偶然の期待値より多くは当たっていません。";
  return "学習での当たり方（偶然の " + Ratio(t) +
         " 倍）が本物なら、検証でそれを 80% の確率で見分けるには約 " +
         FormatGrouped(t.holdoutDrawsNeeded) + " 回が必要です（検証は " +
         FormatGrouped(t.holdoutBest.draws) + " 回）。";
}

std::string Verdict(const Tuning& t, const TuningEvidence& e) {
  const std::string adjusted = "（調整済み p値 " + AdjustedValue(t.adjusted) + "）";
  const std::string holdout = "（p値 " + FormatPValue(t.holdoutBest.summary.pValue) + "）";
  if (e.trainingUnusual && e.holdoutUnusual) {
    return "学習では選んだことを割り引いても偶然では珍しい成績で" + adjusted +
           "、探索に使っていない検証でも偶然では珍しい成績です" + holdout +
           "。別々の２つの期間がそろって偶然を超えているので、このルールには偶然以上の何かが"
           "あると考える根拠があります。";
  }
  if (e.trainingUnusual && e.holdoutLongEnough) {
    return "学習では選んだことを割り引いても偶然では珍しい成績でしたが" + adjusted +
           "、学習での当たり方が本物なら 80% の確率で見分けられる長さの検証で、偶然と見分けが"
           "つきませんでした" +
           holdout +
           "。学習ほどのよさがあるとは考えにくく、学習でのよさの多くは、その期間にたまたま"
           "合っていた分と考えられます。";
  }
  if (e.trainingUnusual) {
    return "学習では選んだことを割り引いても偶然では珍しい成績です" + adjusted +
           "。検証では偶然と見分けがつきませんが" + holdout +
           "、検証が短すぎて決められません。偶然だという証拠にもなりません。";
  }
  if (e.holdoutUnusual) {
    return "検証では偶然では珍しい成績でしたが" + holdout +
           "、学習では選んだことを割り引くと偶然と見分けがつきません" + adjusted + "。" +
           RuleCount(t) +
           " 通りからいちばんよいものを選べば、偶然だけでもこのくらいのルールは見つかります。"
           "２つの期間がそろわないので、このルールが偶然より当たるとは言えません（１つの検証が"
           "偶然で 0.05 を下回ることは、20 回に１回あります）。";
  }
  return "学習でのよさは、選んだことを割り引くと偶然と見分けがつかず" + adjusted +
         "、検証でも偶然と見分けがつきません" + holdout + "。" + RuleCount(t) +
         " 通りからいちばんよいものを選べば、偶然だけでもこのくらいのルールは見つかるので、"
         "このルールが偶然より当たると考える根拠はありません。";
}

std::string Lead(const Tuning& t) {
  const KindSummary& holdout = t.holdoutBest.summary;
  const TuningEvidence evidence = WeighEvidence(t);
  std::string lead =
      "<p class=\"lead\">" + KindName(t) + "の当たりについて、" + RangeName(t.trainBest.range) +
      "（学習）で、どの設定もまとまる " + RuleCount(t) +
      " 通りの予想の出し方（ルール）をすべて正確に調べ、いちばんよいものを選びました。順位は、"
      "学習での p値が小さいもの、同じなら当選の多いもの、それも同じなら今の設定（" +
      TypeName(t.currentSet) +
      "、予想に使っている設定）から変える値の少ないものが上です。選んだルールを、探索では一度も"
      "使っていない" +
      RangeName(t.holdoutBest.range) + "（検証）で確かめ、今の設定と比べました。</p>\n";
  lead +=
      "<div class=\"note key\"><p><strong>選んだことを割り引いた p値（調整済み p値）："
      "</strong>" +
      AdjustedFigure(t.adjusted) + "。偶然だけの当選番号でも、" + RuleCount(t) +
      " 通りのうちいちばんよいルールがこれ以上の成績になる確率です。</p>\n"
      "<p><strong>検証：</strong>見つけたルールの当選 " +
      FormatInt(holdout.hits) + " 回、偶然の期待値 " + FormatExpected(holdout.expected) +
      " 回、p値 " + FormatPValue(holdout.pValue) + "。" + HoldoutLength(t) + "</p>\n" +
      "<p><strong>判定：</strong>" + Verdict(t, evidence) + "</p></div>\n";
  return lead;
}

std::string BestValues(const Tuning& t, TuningSave save) {
  const SearchedSetting& best = t.best.setting;
  std::string html =
      "<p>見つけたルールを出す設定のうち、今の設定から変える値がいちばん少ないもの（" +
      FormatInt(t.best.changes) +
      " 個）です。</p>\n"
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
          "（./base.ini、すべてのタイプに共通）と千桁の値は変えていません。</p>\n";
  if (save.set >= 0) {
    html += "<p>見つけたルールを" + TypeName(save.set) + "に保存しました（その設定から " +
            FormatInt(save.changes) +
            " 個の値を変えました。「シミュレート設定」の「更新」と同じ書き方です）。</p>\n";
  }
  if (!WeighEvidence(t).supportsRule) {
    const std::string notSaved = save.set >= 0 ? "" : "この設定はどのタイプにも保存していません。";
    return html + "<p>" + notSaved +
           "上の判定のとおり、今の証拠では、この設定を保存しても過去に合わせるだけです。</p>\n";
  }
  if (save.set < 0) {
    html +=
        "<p>この設定はどのタイプにも保存していません。使うなら「シミュレート設定」で入力して"
        "「更新」を押すか、<code>" +
        CommandLine(t) +
        "</code>（T はタイプの番号 1〜5。そのタイプの値から変える値がいちばん少なくなるように"
        "保存します）を実行してください。</p>\n";
  }
  return html +
         "<p>使うなら、これからの回を「成績の検証」で確かめ続けてください。学習で見えたよさが"
         "本物かどうかは、探索に使っていない回でしか確かめられません。</p>\n";
}

std::string ResultRow(std::string_view name, const RangeResult& result, std::string_view drawsLabel,
                      std::string_view verdict, std::string_view verdictClass, bool chosen) {
  const KindSummary& s = result.summary;
  return std::string(chosen ? "<tr class=\"chosen\">" : "<tr>") + Cell("設定", name, "name") +
         Cell("範囲", RangeName(result.range), "range") +
         Cell(drawsLabel, FormatInt(result.draws)) + Cell("当選（回）", FormatInt(s.hits)) +
         Cell("偶然の期待値（回）", FormatExpected(s.expected)) +
         Cell("p値", FormatPValue(s.pValue)) + Cell("判定", verdict, verdictClass) + "</tr>\n";
}

std::string Results(const Tuning& t) {
  const std::string current = "今の設定（" + TypeName(t.currentSet) + "）";
  std::string html =
      "<table class=\"cards\">\n<thead><tr><th>設定</th><th>範囲</th><th><span "
      "class=\"nobr\">数えた回</span></th><th>当選（回）</th><th><span class=\"nobr\">偶然の"
      "期待値</span>（回）</th><th>p値</th><th>判定</th></tr></thead>\n"
      "<tbody>\n";
  html += ResultRow("見つけた設定・学習", t.trainBest, "数えた回",
                    RuleCount(t) +
                        " 通りからいちばんよいものを選んだ値なので、この p値だけでは判定できま"
                        "せん。選んだことを割り引いた調整済み p値は " +
                        AdjustedValue(t.adjusted) + " です",
                    "verdict", false);
  html += ResultRow(current + "・学習", t.trainCurrent, "数えた回",
                    VerdictOf(t.trainCurrent.summary.pValue),
                    VerdictClass(t.trainCurrent.summary.pValue), false);
  html += ResultRow("見つけた設定・検証", t.holdoutBest, "検証した回",
                    VerdictOf(t.holdoutBest.summary.pValue),
                    VerdictClass(t.holdoutBest.summary.pValue), true);
  html += ResultRow(current + "・検証", t.holdoutCurrent, "検証した回",
                    VerdictOf(t.holdoutCurrent.summary.pValue),
                    VerdictClass(t.holdoutCurrent.summary.pValue), false);
  return html +
         "</tbody>\n</table>\n<p>学習の行の「数えた回」は学習で数えた回、検証の行では"
         "検証した回です。</p>\n";
}

std::int64_t Thousandths(double hits) {
  return std::llround(hits * kChanceDenominator);
}

std::string Distribution(const Tuning& t) {
  std::vector<std::int32_t> scores;
  scores.reserve(t.rules.size());
  for (const RuleResult& rule : t.rules)
    scores.push_back(
        static_cast<std::int32_t>(Thousandths(rule.summary.hits - rule.summary.expected)));
  const RuleResult& best = t.rules[static_cast<std::size_t>(t.bestClass)];
  const RuleResult& current = t.rules[static_cast<std::size_t>(t.currentClass)];
  const HistogramMarks marks{Thousandths(best.summary.hits - best.summary.expected),
                             Thousandths(current.summary.hits - current.summary.expected)};
  return "<p>" + RuleCount(t) +
         " 通りのルールそれぞれの、学習での当選−期待値です。点１つが１つのルールです。赤い線が"
         "見つけた設定のルール、青い点線が今の設定のルール、0 の点線が偶然どおりのところです。"
         "</p>\n<figure>\n" +
         ScoreHistogramSvg(scores, marks, kWideHistogram, "wide") +
         ScoreHistogramSvg(scores, marks, kNarrowHistogram, "narrow") + "</figure>\n";
}

// How the adjusted p-value was found: worked out, or simulated.
std::string AdjustedMethod(const Tuning& t) {
  if (t.adjusted.exact) {
    return "当選番号が 000〜999 から偶然に選ばれるなら、各回の当選番号は " + RuleCount(t) +
           " 通りのうちちょうど１つのルールで当たりになり、どのルールにも同じ確率で当たります。"
           "そのため、ルールごとの当選数は偶然だけなら多項分布に従い、いちばん多いものが見つけた"
           "ルールの当選数に届く確率を、近似も乱数も使わずに正確に計算できます。";
  }
  return "ボックスは１回の当選番号が複数のルールで当たりになることがあるので、正確な計算の代わ"
         "りに、当選番号が 000〜999 から偶然に選ばれる、学習と同じ回数の履歴を " +
         FormatGrouped(t.adjusted.histories) +
         " 通り作り（乱数の種は決まっていて、何度実行しても同じ値になります）、それぞれで " +
         RuleCount(t) +
         " 通りのうちいちばん小さい p値が、見つけたルールの p値以下になった割合を求めます。"
         "作った履歴の数が限られる分の揺れは、95% 上限（クロッパー・ピアソンの片側の上限）で"
         "示します。本当の値がこれより大きいことは、まずありません。";
}

std::string Reading(const Tuning& t) {
  return "<p class=\"note\">学習での p値（" + FormatPValue(t.trainBest.summary.pValue) + "）は、" +
         RuleCount(t) +
         " 通りを調べていちばんよかったルールのものです。偶然だけでも、たくさん調べればどれかの "
         "p値は小さくなるので、この値だけではほとんど何も言えません。調整済み p値（" +
         AdjustedValue(t.adjusted) + "）はその分を払った値です。" + AdjustedMethod(t) +
         "</p>\n"
         "<p class=\"note\">検証の回は探索で一度も使っていないので、前もって１つのルールを決めて"
         "から確かめたのと同じ重みを持ちます。ただし、検証が短ければ、本物のよさがあっても p値は"
         "小さくなりにくく、偶然と見分けがつかないことは偶然だという証拠になりません。そこで、学習"
         "での当たり方（当選 ÷ 偶然の期待値）が検証でも続くとしたとき、片側 0.05 の検定で 80% の"
         "確率で見分けられる回数（二項分布から正確に計算）と比べて判定しています。また、学習の終わ"
         "り"
         "や種類を変えて何度も実行すれば、それも何度も試したことになり、どれかの検証がたまたまよく"
         "出ることがあります。今の設定の検証の結果は、その設定をどう選んだかによります。同じ期間の"
         "成績を見て選んだ設定なら、その分割り引いて見てください。</p>\n";
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
    return written.Wrapped(file.string() + " に書き込めません。");
  }
  return Status::Ok();
}

}  // namespace kitebar
