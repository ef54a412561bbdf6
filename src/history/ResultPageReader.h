#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/Status.h"
#include "history/DrawHistory.h"
#include "history/HttpFetcher.h"

namespace kitebar {

inline constexpr char kImportScratchFileName[] = "tmp.dat";
inline constexpr char kIndexPageName[] = "numtop01.html";

// Reads the result site's pages under one base URL: the index page into the
// page queue, and result pages whole, for the import to read into the
// history, which it then writes to the scratch file "tmp.dat" beside the
// history file.
class ResultPageReader {
 public:
  ResultPageReader(HttpFetcher& fetcher, DrawHistory& history, std::string baseUrl);

  // Connects and fetches `url`; true when the page text is in the fetcher.
  bool FetchPage(std::string_view url);
  // Fetches the index page and fills the page queue; on failure says whether
  // the URL was refused, no page came, the server answered another status or
  // the page that came lists no result pages, and what to do about it.
  Status ReadIndexPage();
  // Fetches one result page and returns its text. Fails, saying why and what
  // to check, when the fetch fails or the page did not fit the fetcher's
  // buffer: a page read in part would pass for one without newer draws.
  Result<std::string> FetchResultPage(std::string_view pageName);
  // Writes the history as a save writes it to the scratch file, so that a
  // pending record and the positions of the draws just completed survive
  // the replacement.
  Status WriteScratchFile() const;

  const std::string& baseUrl() const { return baseUrl_; }
  const std::vector<std::string>& pageNames() const { return pageNames_; }
  void ClearQueue() { pageNames_.clear(); }
  std::filesystem::path ScratchFile() const;

 private:
  HttpFetcher& fetcher_;
  DrawHistory& history_;
  std::string baseUrl_;
  std::vector<std::string> pageNames_;
};

}  // namespace kitebar
