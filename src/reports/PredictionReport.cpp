#include "reports/PredictionReport.h"

#include <unistd.h>

#include <cerrno>

#include "common/AtomicFile.h"
#include "common/NumberText.h"
#include "common/ShiftJis.h"
#include "common/TextLines.h"
#include "history/DrawHistory.h"

namespace kitebar {
namespace {

constexpr char kPageHead[] =
    "<html><head><title>ナンバーズの予想番号</title>\n"
    "<STYLE type=\"text/css\"></STYLE></head>\n"
    "<body bgcolor=#000000 text=#ffffff link=#2266cc vlink=#aa3333 alink=#ff0000>\n"
    "<table border=0 cellpadding=0 cellspacing=0 width=600>\n"
    "<tr><td align=left colspan=2>ナンバーズ３専用の予想ソフトです。</td></tr>\n"
    "</table>\n"
    "<br><center>当選番号等は、主催者発表のものと、ご確認ください。<p>\n"
    "<table align=\"center\" border=0 cellpadding=3 bgcolor=#ffffff>\n"
    "<tr><td bgcolor=#006600 align=\"center\"><b>抽選回数</b></td>\n"
    "<td bgcolor=#885500 align=\"center\"><b>予想番号</b></td></tr>\n"
    "<tr align=\"center\" bgcolor=#f0f0f0>\n";

constexpr char kPageTail[] =
    "</td></tr>\n"
    "</table><br>\n"
    "<br><br><br></center></body></html>\n";

bool IsReadOnly(const std::filesystem::path& file) {
  return ::access(file.c_str(), W_OK) != 0 && errno == EACCES;
}

}  // namespace

std::string BuildPredictionPage(int drawNumber, const CandidateTable& candidates) {
  std::string page = kPageHead;
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
    return Status::Failure(file.string() + " は読み取り専用のため、書き込めません。");
  }
  const Result<std::string> encoded =
      Utf8ToShiftJis(WithCrLf(BuildPredictionPage(drawNumber, candidates)));
  if (!encoded.ok())
    return encoded.status();
  if (Status written = WriteFileAtomically(file, *encoded); !written.ok()) {
    return Status::Failure(file.string() + " に書き込めません。" + written.message());
  }
  return Status::Ok();
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
