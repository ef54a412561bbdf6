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
// page queue, and result pages into the history, which after each page is
// written to the scratch file "tmp.dat" beside the history file.
class ResultPageReader {
 public:
  ResultPageReader(HttpFetcher& fetcher, DrawHistory& history, std::string baseUrl);

  // Connects and fetches `url`; true when the page text is in the fetcher.
  bool FetchPage(std::string_view url);
  // Fetches the index page and fills the page queue.
  bool ReadIndexPage();
  // Fetches one result page, appends its new draws and writes the scratch
  // file. Fails when the fetch fails, the page does not join the history or
  // the scratch file cannot be written.
  Status ReadResultPage(std::string_view pageName);

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
