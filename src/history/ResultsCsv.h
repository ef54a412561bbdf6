#pragma once

#include <string_view>

#include "common/Status.h"
#include "history/DrawHistory.h"

namespace kitebar {

// Brings `history` up to date from a CSV of results, lines "draw,yyyy-mm-dd,NNN"
// or "draw,NNN" with an optional header line, in any encoding that CsvText
// reads. Draws up to `count` must agree
// with the history; later draws must follow on from count + 1 without gaps.
// Returns the number of draws added. On any fault the history is unchanged and
// the message names the line or the draw.
Result<int> MergeResultsCsv(DrawHistory& history, std::string_view csv);

// The same as one change of the folder: on the history as its file holds it
// now (an empty one when there is no file yet), saved when draws were added.
// A refused CSV or a failed save leaves the file as it was.
Result<int> AddResultsCsv(DrawHistory& history, std::string_view csv);

}  // namespace kitebar
