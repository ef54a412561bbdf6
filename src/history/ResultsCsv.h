#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/Status.h"
#include "history/DrawHistory.h"

namespace kitebar {

// What a results file brings to a history, told before anything is stored.
struct CsvImportSummary {
  int draws = 0;  // distinct draws read, firstDraw to lastDraw
  int firstDraw = 0;
  int lastDraw = 0;
  int held = 0;   // of them, draws that the history holds already: all agree
  int added = 0;  // new draws, firstNew to lastNew
  int firstNew = 0;
  int lastNew = 0;
  int padded = 0;  // winning numbers whose lost leading zeros were put back
};

// The summary and the new draws, in ascending order, to store.
struct CsvImportPlan {
  CsvImportSummary summary;
  std::vector<std::pair<int, std::array<char, 3>>> newDraws;
};

// Reads a results file, in any encoding that CsvText reads, and checks it
// against `history`, changing nothing. The file is the project's own
// "draw,yyyy-mm-dd,NNN" or "draw,NNN" lines, or any table whose draw, date
// (optional) and winning-number columns its header names or its values tell
// (see FindColumns), with other columns beside them, separated by commas,
// tabs or spaces, its rows in any order; two rows of one draw must agree, and
// one is kept. Draws up to `count` must agree with the history; later draws
// must follow on from count + 1 without gaps. A refusal names the line, the
// draws or the columns concerned.
Result<CsvImportPlan> PlanResultsCsv(const DrawHistory& history, std::string_view csv);

// Brings `history` up to date from a results file, in memory. Returns the
// number of draws added. On any fault the history is unchanged.
Result<int> MergeResultsCsv(DrawHistory& history, std::string_view csv);

// What storing `csv` would do, for the history as its file holds it now (an
// empty one when there is no file yet), which `history` is loaded with.
// Refused, as the store would be, for a damaged or unreadable history file.
Result<CsvImportSummary> PreviewResultsCsv(DrawHistory& history, std::string_view csv);

// Stores `csv` as one change of the folder: on the history as its file holds
// it now, saved when draws were added. A refused CSV or a failed save leaves
// the file as it was.
Result<CsvImportSummary> ImportResultsCsv(DrawHistory& history, std::string_view csv);

// The same, returning the number of draws added.
Result<int> AddResultsCsv(DrawHistory& history, std::string_view csv);

// The summary in Japanese, one fact a line, as both programs show it before
// storing.
std::string DescribeCsvImport(const CsvImportSummary& summary);

}  // namespace kitebar
