#include "cli/CommandSupport.h"

#include <filesystem>
#include <system_error>

#include "cli/Output.h"

namespace kitebar::cli {
namespace {

void ReportLoadFailure(const Status& loaded) {
  // The file is there: another program has it open.
  if (loaded.fileInUse()) {
    PrintError(loaded.message());
    return;
  }
  PrintError("当選番号の取得に失敗しました。" + loaded.message() +
             "。当選番号ファイル kitebarnum.dat のあるフォルダーで実行するか、load-csv か "
             "import で作ってください。");
}

}  // namespace

bool LoadHistoryOrReport(DrawHistory& history, DamageNotice notice) {
  if (const Status loaded = history.Load(); !loaded.ok()) {
    ReportLoadFailure(loaded);
    return false;
  }
  if (notice == DamageNotice::kWarn && history.damage())
    PrintError(history.DamageWarning());
  return true;
}

bool LoadHistoryIfPresentOrReport(DrawHistory& history, DamageNotice notice) {
  std::error_code error;
  if (!std::filesystem::exists(history.file(), error) && !error)
    return true;
  return LoadHistoryOrReport(history, notice);
}

std::string ListingForTerminal(std::string_view listing) {
  std::string out;
  out.reserve(listing.size());
  std::size_t start = 0;
  while (start < listing.size()) {
    const std::size_t end = listing.find(" \r\n", start);
    out.append(listing.substr(start, end - start));
    out += '\n';
    if (end == std::string_view::npos)
      break;
    start = end + 3;
  }
  return out;
}

}  // namespace kitebar::cli
