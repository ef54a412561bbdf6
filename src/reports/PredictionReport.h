#pragma once

#include <filesystem>
#include <string>

#include "common/Status.h"
#include "engine/PredictionRun.h"
#include "reports/PageOpener.h"

namespace kitebar {

class DrawHistory;

inline constexpr char kPredictionPage[] = "showyosou.html";

// The prediction page for draw `drawNumber`: UTF-8 with '\n' line ends, the
// candidates in table order.
std::string BuildPredictionPage(int drawNumber, const CandidateTable& candidates);

// Writes the page to `file` in Shift_JIS with CR LF, replacing it atomically.
// A page that the user made read-only is left as it is (failure).
Status WritePredictionPage(const std::filesystem::path& file, int drawNumber,
                           const CandidateTable& candidates);

// The "予想開始" command: the prediction run for the draw after the last
// complete one, "showyosou.html" written in the working directory and handed
// to `opener` when one is given. Fails when the run fails (no page is then
// written), when the page cannot be written or when it cannot be opened.
Result<Prediction> StartPrediction(DrawHistory& history, PageOpener* opener);

}  // namespace kitebar
