#include "reports/HitReport.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "common/AtomicFile.h"
#include "common/FileLimits.h"
#include "common/NumberText.h"
#include "common/TextLines.h"
#include "reports/ReportPage.h"

namespace kitebar {
namespace {

// Each read takes at most seven characters, up to and including a line break.
constexpr std::size_t kRecordLinePiece = 7;

// A result line as stored: the first two characters matter, '1' straight or
// '2' box, then '3' mini.
struct ResultCodes {
  char main = '\0';
  char mini = '\0';
  bool isMiss() const { return main == '0' && mini == '0'; }
};

struct ParsedRecords {
  HitTallies tallies;
  std::vector<ResultCodes> results;  // file order
};

ParsedRecords ParseRecords(std::string_view records) {
  ParsedRecords parsed;
  bool numberLine = true;
  ForEachLinePiece(records, kRecordLinePiece, [&](std::string_view line) {
    if (numberLine) {
      parsed.tallies.lastDrawNumber = ParseIntLikeAtoi(line);
    } else {
      ResultCodes codes;
      codes.main = line.size() > 0 ? line[0] : '\0';
      codes.mini = line.size() > 1 ? line[1] : '\0';
      HitTallies& t = parsed.tallies;
      if (codes.main == '1') {
        ++t.straight;
      } else if (codes.main == '2') {
        ++t.box;
      }
      if (codes.mini == '3')
        ++t.mini;
      if (static_cast<signed char>(codes.main) > '0')
        ++t.wins;
      parsed.results.push_back(codes);
      ++t.draws;
    }
    numberLine = !numberLine;
  });
  return parsed;
}

std::string Bold(int value) {
  return "<b>" + FormatInt(value) + "</b>";
}

void AppendSummaryRow(std::string& page, std::string_view label, int draws, int hits) {
  // With no record read the rate is shown as 0 rather than divided by zero.
  const int rate = draws == 0 ? 0 : static_cast<int>(static_cast<long long>(hits) * 100 / draws);
  page += "<tr>\n<td bgcolor=#006600 align=\"center\"><b>";
  page += label;
  page += "</b></td>\n";
  page += "<td bgcolor=#885500 align=\"left\"><font color=#ffaa00 size=+2>" + Bold(draws) +
          "</font>戦\n";
  page += "<font color=#00aaff size=+2>" + Bold(hits) + "</font>勝\n";
  page += "<font color=#ff3300 size=+2>" + Bold(draws - hits) + "</font>敗　勝率\n";
  page += "<font color=#ffaa00 size=+2><b>" + FormatInt(rate) + "％</b></font></td></tr>\n";
}

void AppendSummary(std::string& page, const HitTallies& t) {
  AppendSummaryRow(page, "総合", t.draws, t.wins);
  AppendSummaryRow(page, "ストレート", t.draws, t.straight);
  AppendSummaryRow(page, "ボックス", t.draws, t.box);
  AppendSummaryRow(page, "ミニ", t.draws, t.mini);
}

void AppendDrawRow(std::string& page, int rowNumber, const ResultCodes& codes) {
  page += "<tr align=\"center\" bgcolor=#f0f0f0>\n";
  // Appended piece by piece: a page can hold 10,000 rows.
  page += "<td bgcolor=#006600><b>第";
  page += FormatInt(rowNumber);
  page += "回</B></td>\n";
  page += "<td bgcolor=#660000>\n";
  if (codes.isMiss())
    page += "<B> ハズレ </B>\n";
  if (codes.main == '1') {
    page += "<B><FONT color=#ff0000>ストレート</font>的中！</B><br>\n";
  } else if (codes.main == '2') {
    page += "<B><FONT color=#eedd00>ボックス</font>的中！</B><br>\n";
  }
  if (codes.mini == '3' && codes.main != '1') {
    page += "<B><FONT color=#00eeee>ミニ</font>的中！</B><br>\n";
  }
  page += "</td></tr>\n";
}

std::string_view WithoutLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
    line.remove_suffix(1);
  return line;
}

struct Entry {
  int draw = 0;
  std::string result;  // the result line without its line end
};

std::vector<Entry> EntriesOf(std::string_view records) {
  std::vector<Entry> entries;
  bool numberLine = true;
  int draw = 0;
  ForEachLinePiece(records, kRecordLinePiece, [&](std::string_view line) {
    if (numberLine)
      draw = ParseIntLikeAtoi(line);
    else
      entries.push_back({draw, std::string(WithoutLineEnd(line))});
    numberLine = !numberLine;
  });
  return entries;
}

bool HoldsDraw(const DrawHistory& history, int draw) {
  if (draw < 1 || draw > history.count)
    return false;
  const std::string_view digits = history.record(draw).digitsText();
  return digits.size() == 3 && digits.find_first_not_of("0123456789") == std::string_view::npos;
}

std::string NotHeldNotice(const std::vector<int>& draws) {
  constexpr std::size_t kNamed = 5;
  std::string named;
  for (std::size_t i = 0; i < draws.size() && i < kNamed; ++i)
    named += (i == 0 ? "第 " : "、第 ") + FormatInt(draws[i]) + " 回";
  if (draws.size() > kNamed)
    named += " ほか";
  return "当選番号ファイルにない回の成績 " + FormatInt(static_cast<long long>(draws.size())) +
         " 件（" + named + "）は数えていません。";
}

}  // namespace

HeldEntries EntriesOfHeldDraws(std::string_view records, const DrawHistory& history) {
  const std::vector<Entry> entries = EntriesOf(records);
  std::vector<std::size_t> lastOfDraw(static_cast<std::size_t>(DrawHistory::kMaxSlot) + 1,
                                      entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (HoldsDraw(history, entries[i].draw))
      lastOfDraw[static_cast<std::size_t>(entries[i].draw)] = i;
  }
  HeldEntries held;
  std::vector<int> notHeld;
  int superseded = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const Entry& entry = entries[i];
    if (!HoldsDraw(history, entry.draw)) {
      notHeld.push_back(entry.draw);
    } else if (lastOfDraw[static_cast<std::size_t>(entry.draw)] != i) {
      ++superseded;
    } else {
      held.records += FormatInt(entry.draw) + "\r\n" + entry.result + "\r\n";
    }
  }
  if (!notHeld.empty())
    held.notice += NotHeldNotice(notHeld);
  if (superseded > 0) {
    held.notice += "同じ回の成績が重なっていた " + FormatInt(superseded) +
                   " 件は、その回の最後の成績だけを数えました。";
  }
  return held;
}

HitReport BuildHitReport(std::string_view records, bool hitsOnly, std::string_view notice) {
  const ParsedRecords parsed = ParseRecords(records);
  HitReport report;
  report.tallies = parsed.tallies;
  report.tallies.notice = std::string(notice);
  std::string& page = report.page;
  page.reserve(1024 + parsed.results.size() * 160);
  page += ReportPageHead("ナンバーズの予想ソフト", "成績");
  if (!notice.empty()) {
    page += "<tr><td colspan=2 bgcolor=#660000>注意: ";
    page += notice;
    page += "</td></tr>\n";
  }
  if (!hitsOnly)
    AppendSummary(page, parsed.tallies);
  // Newest first; every record uses up a row number, shown or not.
  int rowNumber = parsed.tallies.lastDrawNumber;
  for (auto it = parsed.results.rbegin(); it != parsed.results.rend(); ++it, --rowNumber) {
    if (hitsOnly && it->isMiss())
      continue;
    AppendDrawRow(page, rowNumber, *it);
  }
  page += "</table><br>\n<br><br><br></center></body></html>\n";
  return report;
}

Result<HitTallies> WriteHitReport(HitReportVariant variant, bool hitsOnly, PageOpener* opener) {
  const bool recent = variant == HitReportVariant::kRecent;
  const char* input = recent ? kRecentBackTestFile : kBackTestFile;
  const char* output = recent ? kRecentHitReportPage : kHitReportPage;
  const Result<std::string> records = ReadWholeFile(input, kMaxBackTestFileBytes);
  std::error_code error;
  if (!records.ok() && std::filesystem::exists(input, error))
    return records.status().Wrapped("当選履歴を読めません。");
  if (!records.ok()) {
    return Status::Failure(std::string("当選履歴がありません（") + input + " を読めません）。" +
                           (recent ? "過去の履歴を作り直してから、もう一度表示してください。"
                                   : "次の回の当選番号を登録すると作られます。"));
  }
  // A history that cannot be read holds no draw: no entry is shown as a hit.
  DrawHistory history;
  history.Load();
  const HeldEntries held = EntriesOfHeldDraws(*records, history);
  const HitReport report = BuildHitReport(held.records, hitsOnly, held.notice);
  if (Status written = WriteReportPage(output, report.page); !written.ok())
    return written;
  if (opener != nullptr)
    opener->Open(output);
  return report.tallies;
}

}  // namespace kitebar
