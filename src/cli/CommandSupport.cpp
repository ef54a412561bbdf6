#include "cli/CommandSupport.h"

#include "cli/Output.h"

namespace kitebar::cli {

bool LoadHistoryOrReport(DrawHistory& history) {
  if (const Status loaded = history.Load(); !loaded.ok()) {
    PrintError("当選番号の取得に失敗しました。" + loaded.message());
    return false;
  }
  return true;
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
