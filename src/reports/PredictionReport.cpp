#include "reports/PredictionReport.h"

#include <unistd.h>

#include <cerrno>

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

bool IsReadOnly(const std::filesystem::path& file) {
  return ::access(file.c_str(), W_OK) != 0 && errno == EACCES;
}

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
  // The atomic replacement would otherwise overwrite a page the user protected.
  if (IsReadOnly(file)) {
    return Status::Failure(file.string() +
                           " は読み取り専用のため、書き込めません。読み取り専用を解除してから、"
                           "もう一度実行してください。");
  }
  return WriteReportPage(file, BuildPredictionPage(drawNumber, candidates));
}

Result<Prediction> StartPrediction(DrawHistory& history, PageOpener* opener) {
  Result<Prediction> prediction = PredictionRun(history, history.count + 1, false);
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
