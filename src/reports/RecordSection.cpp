#include "reports/RecordSection.h"

#include <chrono>

#include "common/LocalTime.h"
#include "common/NumberText.h"
#include "reports/AnalysisPage.h"
#include "reports/CoursePlot.h"
#include "reports/EvaluationPage.h"

namespace kitebar {
namespace {

constexpr char kRecordedBeforeDraws[] =
    "<p class=\"lead\">ここに並ぶのは、Kitebar が予想を表示したとき（予想開始、kitebar-cli "
    "predict、当選番号を登録したときの次の回の予想）に、その回の当選番号が登録される前に記録した"
    "予想です。あとから設定を変えても、作り直されることはありません。</p>\n";

constexpr char kHowTheRecordGrows[] =
    "<p class=\"note\">まだ記録された予想はありません。抽選の前に「予想開始」（または "
    "kitebar-cli predict）で予想するか、当選番号を登録すると、その予想が記録されます。その回の"
    "当選番号を登録すると、ここに成績が出ます。</p>\n";

constexpr char kReplayedBelow[] =
    "<p class=\"note\">ここから下は、いまの設定で過去の回の予想を作り直して調べた結果です。上の"
    "記録された予想の成績とは混ぜていません。</p>\n";

std::string Escaped(std::string_view text) {
  std::string escaped;
  for (const char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

// The record's UTC time in the user's time zone, to the minute.
std::string LocalTimeText(std::string_view recorded) {
  using namespace std::chrono;
  const auto number = [&](std::size_t at, std::size_t length) {
    return ParseIntLikeAtoi(recorded.substr(at, length));
  };
  const sys_days day =
      year_month_day(year(number(0, 4)), month(static_cast<unsigned>(number(5, 2))),
                     std::chrono::day(static_cast<unsigned>(number(8, 2))));
  const auto moment = day + hours(number(11, 2)) + minutes(number(14, 2)) + seconds(number(17, 2));
  const std::tm local = LocalTimeOf(system_clock::to_time_t(moment));
  return FormatZeroPadded(local.tm_year + 1900, 4) + "-" + FormatZeroPadded(local.tm_mon + 1, 2) +
         "-" + FormatZeroPadded(local.tm_mday, 2) + " " + FormatZeroPadded(local.tm_hour, 2) + ":" +
         FormatZeroPadded(local.tm_min, 2);
}

std::string ChainStatus(const LiveScore& score) {
  if (score.record.broken) {
    return "<p class=\"note\"><b>記録は途中で壊れています。</b>" +
           Escaped(RecordBreakMessage(score.file, *score.record.broken)) + "</p>\n";
  }
  if (score.record.lines == 0)
    return {};
  std::string status = "<p>記録の " + FormatGrouped(score.record.lines) +
                       " 行は、すべて検査値（SHA-256）でつながっていて、書き換え・削除・入れ替え"
                       "はありません。最後の検査値は <span class=\"nobr\">" +
                       score.record.head.substr(0, 16) +
                       "…</span> です（控えておけば、後から記録の末尾が消されても分かります）。"
                       "</p>\n";
  if (!score.sealProblem.empty()) {
    status += "<p class=\"note\">当選番号を記録に書き加えられませんでした。" +
              Escaped(score.sealProblem) + "</p>\n";
  }
  return status;
}

std::string SetsUsed(const LiveScore& score) {
  std::string sets;
  for (int set = 0; set < kSettingsTypeCount; ++set) {
    if (score.setsUsed[static_cast<std::size_t>(set)])
      sets.append(sets.empty() ? "" : "・").append(TypeName(set));
  }
  return sets;
}

std::string Counts(const LiveScore& score) {
  std::string counts =
      "<p>記録された予想 " + FormatGrouped(static_cast<long long>(score.entries.size())) + " 件（" +
      DrawName(score.firstDraw) + "〜" + DrawName(score.lastDraw) + "の " + FormatInt(score.draws) +
      " 回分）のうち、当選番号が出た " + FormatInt(score.scoredDraws) + " 回を集計しました";
  if (score.waitingDraws > 0)
    counts += "（抽選待ち " + FormatInt(score.waitingDraws) + " 回）";
  counts += "。使った設定は " + FormatInt(score.settingsUsed) + " 通り（" + SetsUsed(score) +
            "）です。設定の値を変えると要約値が変わり、別の設定として数えます。</p>\n";
  if (score.corrected.empty())
    return counts;
  counts += "<p class=\"note\">当選番号が記録の後で訂正された回が " +
            FormatInt(static_cast<long long>(score.corrected.size())) + " 回（訂正 " +
            FormatInt(score.corrections) + " 件）あります。いまの番号で集計し直しています：";
  for (std::size_t i = 0; i < score.corrected.size(); ++i) {
    const CorrectedDraw& draw = score.corrected[i];
    counts.append(i == 0 ? "" : "、");
    counts += DrawName(draw.draw) + "（最初 " + FormatZeroPadded(draw.first, 3) + " → いま " +
              FormatZeroPadded(draw.now, 3) + "）";
  }
  return counts + "。</p>\n";
}

std::string KindTable(const LiveScore& score) {
  std::string rows =
      "<table class=\"cards\">\n<thead><tr><th>種類</th><th>集計した回</th><th>当選</th>"
      "<th>偶然の期待値</th><th>偶然なら95%以上はこの数以下</th><th>p値</th><th>判定</th></tr>"
      "</thead>\n<tbody>\n";
  for (int kind = 0; kind < kHitKindCount; ++kind) {
    const KindSummary& s = score.kinds[static_cast<std::size_t>(kind)];
    rows += "<tr>" + Cell("種類", kKindLooks[static_cast<std::size_t>(kind)].name, "name") +
            Cell("集計した回", FormatInt(score.scoredDraws)) +
            Cell("当選", FormatInt(s.hits) + " 回") +
            Cell("偶然の期待値", FormatExpected(s.expected) + " 回") +
            Cell("偶然なら95%以上はこの数以下", FormatInt(s.chanceBound) + " 回") +
            Cell("p値", FormatPValue(s.pValue)) +
            Cell("判定", VerdictOf(s.pValue), VerdictClass(s.pValue)) + "</tr>\n";
  }
  return rows +
         "</tbody>\n</table>\n<p>１つの回に予想がいくつかあるとき（設定を変えたときなど）は、その回"
         "の予想番号をすべて合わせて１回と数え、偶然の期待値もその番号すべてで計算します。何度予想"
         "しても、偶然より有利にはなりません。</p>\n";
}

std::string Courses(const LiveScore& score) {
  std::string html =
      "<p>記録された予想の、各回までの当選数から偶然の期待値を引いた値です（帯の読み方は下の"
      "「当選−期待値の推移」と同じです）。記録された予想は１つの設定から作られたとは限らないので、"
      "ボックスの全体の帯は、各回の確率をそのまま使い、回どうしを独立とみなした目安です。</p>\n"
      "<div class=\"plots\">\n";
  for (int kind = 0; kind < kHitKindCount; ++kind) {
    const KindLook& look = kKindLooks[static_cast<std::size_t>(kind)];
    const std::vector<CoursePoint>& course = score.courses[static_cast<std::size_t>(kind)];
    html += "<figure>\n" + CoursePlotSvg(course, look.name, look.colour, kWidePlot, "wide") +
            CoursePlotSvg(course, look.name, look.colour, kNarrowPlot, "narrow") + "</figure>\n";
  }
  return html + "</div>\n";
}

std::string OutcomeText(const LiveEntry& entry) {
  if (!entry.winning)
    return "抽選待ち";
  if (entry.outcome.straight)
    return "ストレート・ミニ";
  std::string text = entry.outcome.box ? "ボックス" : "";
  if (entry.outcome.mini)
    text += text.empty() ? "ミニ" : "・ミニ";
  return text.empty() ? "はずれ" : text;
}

std::string EntryTable(const LiveScore& score) {
  const auto total = static_cast<int>(score.entries.size());
  const int shown = std::min(total, kListedRecordEntries);
  std::string html = "<p>記録された予想を新しい順に " + FormatInt(shown) + " 件";
  if (shown < total)
    html += "（全 " + FormatGrouped(total) + " 件は " + score.file.filename().string() +
            " にあります）";
  html +=
      "。</p>\n<table class=\"cards\">\n<thead><tr><th>記録した日時</th><th>回</th><th>設定</th>"
      "<th>予想番号</th><th>当選番号</th><th>結果</th></tr></thead>\n<tbody>\n";
  for (int i = total - 1; i >= total - shown; --i) {
    const LiveEntry& entry = score.entries[static_cast<std::size_t>(i)];
    const RecordEntry& p = score.record.entries[entry.entry];
    std::string numbers;
    for (std::size_t k = 0; k < p.candidates.size(); ++k)
      numbers.append(k == 0 ? "" : " ").append(FormatZeroPadded(p.candidates[k], 3));
    html += "<tr>" + Cell("記録した日時", LocalTimeText(p.time), "name") +
            Cell("回", DrawName(p.draw)) + Cell("設定", TypeName(p.settingsType) + " " + p.digest) +
            Cell("予想番号", numbers, "numbers") +
            Cell("当選番号", entry.winning ? FormatZeroPadded(*entry.winning, 3) : "−") +
            Cell("結果", OutcomeText(entry)) + "</tr>\n";
  }
  return html + "</tbody>\n</table>\n";
}

}  // namespace

std::string LiveRecordSection(const LiveScore& score) {
  std::string html = "<h2>記録された予想の成績</h2>\n";
  html += kRecordedBeforeDraws;
  if (!score.problem.empty())
    return html + "<p class=\"note\">" + Escaped(score.problem) + "</p>\n" + kReplayedBelow;
  html += ChainStatus(score);
  if (score.entries.empty())
    return html + kHowTheRecordGrows + kReplayedBelow;
  html += Counts(score);
  if (score.scoredDraws > 0)
    html += KindTable(score) + Courses(score);
  return html + EntryTable(score) + kReplayedBelow;
}

}  // namespace kitebar
