#include "reports/PredictionReport.h"

#include "common/AtomicFile.h"
#include "common/NumberText.h"
#include "history/DrawHistory.h"
#include "reports/ReportPage.h"

namespace kitebar {
namespace {

constexpr char kFirstRow[] = "<tr align=\"center\" bgcolor=#f0f0f0>\n";

constexpr char kPageTail[] =
    "</td></tr>\n"
    "</table><br>\n"
    "<br><br><br></center></body></html>\n";

}  // namespace

std::string BuildPredictionPage(int drawNumber, const CandidateTable& candidates) {
  std::string page = ReportPageHead("ナンバーズの予想番号", "予想番号");
  page += kFirstRow;
  page += "<td bgcolor=#006600><b>第" + FormatInt(drawNumber) + "回</B></td>\n";
  page += "<td bgcolor=#660000 width=150>\n";
  for (int k = 1; k <= kCandidateCount; ++k) {
    page += "<B><FONT color=#ffffff>" + CandidateText(candidates, k) + "</font></B><br>\n";
  }
  page += kPageTail;
  return page;
}

Status WritePredictionPage(const std::filesystem::path& file, int drawNumber,
                           const CandidateTable& candidates) {
  return WriteReportPage(file, BuildPredictionPage(drawNumber, candidates));
}

Result<Prediction> StartPrediction(DrawHistory& history, PageOpener* opener) {
  // A page that cannot be replaced is refused before the history is written.
  if (Status replaceable = CheckReplaceable(kPredictionPage); !replaceable.ok())
    return replaceable;
  Result<Prediction> prediction = PredictNextDraw(history);
  if (!prediction.ok())
    return prediction;
  if (Status written =
          WritePredictionPage(kPredictionPage, prediction->drawNumber, prediction->candidates);
      !written.ok()) {
    return written;
  }
  if (opener != nullptr) {
    if (Status opened = opener->Open(kPredictionPage); !opened.ok())
      return opened;
  }
  return prediction;
}

}  // namespace kitebar
