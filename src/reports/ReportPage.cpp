#include "reports/ReportPage.h"

#include "common/AtomicFile.h"
#include "common/ShiftJis.h"
#include "common/TextLines.h"

namespace kitebar {

std::string ReportPageHead(std::string_view title, std::string_view secondColumn) {
  std::string head = "<html><head><title>";
  head += title;
  head +=
      "</title>\n"
      "<STYLE type=\"text/css\"></STYLE></head>\n"
      "<body bgcolor=#000000 text=#ffffff link=#2266cc vlink=#aa3333 alink=#ff0000>\n"
      "<table border=0 cellpadding=0 cellspacing=0 width=600>\n"
      "<tr><td align=left colspan=2>ナンバーズ３専用の予想ソフトです。</td></tr>\n"
      "</table>\n"
      "<br><center>当選番号等は、主催者発表のものと、ご確認ください。<p>\n"
      "<table align=\"center\" border=0 cellpadding=3 bgcolor=#ffffff>\n"
      "<tr><td bgcolor=#006600 align=\"center\"><b>抽選回数</b></td>\n"
      "<td bgcolor=#885500 align=\"center\"><b>";
  head += secondColumn;
  head += "</b></td></tr>\n";
  return head;
}

Status WriteReportPage(const std::filesystem::path& file, std::string_view page) {
  // A page the user made read-only stays as it is; the refusal says why.
  if (Status replaceable = CheckReplaceable(file); !replaceable.ok())
    return replaceable;
  const Result<std::string> encoded = Utf8ToShiftJis(WithCrLf(page));
  if (!encoded.ok())
    return encoded.status();
  if (Status written = WriteFileAtomically(file, *encoded); !written.ok()) {
    return written.Wrapped(file.string() + " に書き込めません。");
  }
  return Status::Ok();
}

}  // namespace kitebar
