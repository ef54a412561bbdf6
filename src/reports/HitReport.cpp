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

}  // namespace

HitReport BuildHitReport(std::string_view records, bool hitsOnly) {
  const ParsedRecords parsed = ParseRecords(records);
  HitReport report;
  report.tallies = parsed.tallies;
  std::string& page = report.page;
  page.reserve(1024 + parsed.results.size() * 160);
  page += ReportPageHead("ナンバーズの予想ソフト", "成績");
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
    return Status::Failure("当選履歴を読めません。" + records.message());
  if (!records.ok()) {
    return Status::Failure(std::string("当選履歴がありません（") + input + " を読めません）。" +
                           (recent ? "過去の履歴を作り直してから、もう一度表示してください。"
                                   : "次の回の当選番号を登録すると作られます。"));
  }
  const HitReport report = BuildHitReport(*records, hitsOnly);
  if (Status written = WriteReportPage(output, report.page); !written.ok())
    return written;
  if (opener != nullptr)
    opener->Open(output);
  return report.tallies;
}

}  // namespace kitebar
